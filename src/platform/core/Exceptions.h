#pragma once
// Named failures of the view, printing and tab-strip components. The message
// is English and shown as is by the application's default handler.
#include <stdexcept>
#include <string>

#define LUMESTA_EXCEPTION(Name, Base)                                   \
    class Name : public Base {                                          \
    public:                                                             \
        explicit Name(const std::string& message) : Base(message) {}    \
    };

LUMESTA_EXCEPTION(ELumestaError, std::runtime_error)
