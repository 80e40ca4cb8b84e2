#include "app/ZipXmlPart.h"

namespace mofeng::app {

ZipArchive OpenZipInMemory(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) {
        zip_error_fini(&error);
        return {};
    }
    ZipArchive archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
    }
    return archive;
}

}  // namespace mofeng::app
