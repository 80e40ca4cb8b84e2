#include "fuzz/FuzzZip.h"

#include <zip.h>

#include <cstdio>

#include "fuzz/FuzzCheck.h"

std::string Zip(const std::vector<std::pair<const char*, std::string>>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    FUZZ_CHECK(archive != nullptr);
    zip_source_keep(buffer);
    for (const auto& [name, text] : parts) {
        zip_source_t* member = zip_source_buffer(archive, text.data(), text.size(), 0);
        const zip_int64_t index = zip_file_add(archive, name, member, ZIP_FL_ENC_UTF_8);
        FUZZ_CHECK(index >= 0);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    FUZZ_CHECK(zip_close(archive) == 0);
    std::string bytes;
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
    zip_source_seek(buffer, 0, SEEK_SET);
    FUZZ_CHECK(zip_source_read(buffer, bytes.data(), bytes.size()) ==
               static_cast<zip_int64_t>(bytes.size()));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return bytes;
}
