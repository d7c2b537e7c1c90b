// Bytes left behind the file's current position.
#include "file_byte_source.h"

uint64_t FileByteSource::remaining() const {
    uint64_t length = file_.length();
    uint64_t position = file_.position();
    return position < length ? length - position : 0;
}
