#include "base/uuid.h"

#include <uuid/uuid.h>

namespace orvex {

std::string newUuid() {
    uuid_t raw;
    uuid_generate_random(raw);
    char text[37];
    uuid_unparse_upper(raw, text);
    return text;
}

}  // namespace orvex
