// Linked into every test program of the Windows build: standard output in
// binary mode, so that GoogleTest's lists end their lines with LF alone, as
// CMake's test discovery reads them (text mode would add a CR to each).
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

const int kBinaryStandardOutput = _setmode(_fileno(stdout), _O_BINARY);

}  // namespace
