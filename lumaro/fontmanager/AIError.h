// The exception that carries a host error code through the plug-in's own
// code; it never leaves the plug-in.
#pragma once

#include <exception>

#include "hostapi/types.h"

namespace ai {

class Error : public std::exception {
public:
    explicit Error(ASErr code) : m_code(code) {}
    ASErr Code() const { return m_code; }
    operator ASErr() const { return m_code; }

private:
    ASErr m_code;
};

}  // namespace ai
