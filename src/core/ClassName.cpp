#include "core/ClassName.h"

#include <cxxabi.h>

#include <cstdlib>

std::string ClassName(const std::type_info& type) {
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string text = status == 0 && name != nullptr ? name : type.name();
    std::free(name);
    return text;
}
