#pragma once

#include <string>
#include <typeinfo>

// The readable name of a class ("ShapeCube" rather than the compiler's mangled one), for
// benchmark lines and on-screen captions.
std::string ClassName(const std::type_info& type);
