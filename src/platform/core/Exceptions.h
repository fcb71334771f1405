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

// An index outside a list (a style number past the style table, a checkpoint
// number past the checkpoint list). The message names the index.
class EListError : public ELumestaError {
public:
    explicit EListError(int index)
        : ELumestaError("List index out of bounds (" + std::to_string(index) + ")"), FIndex(index) {}
    int Index() const { return FIndex; }

private:
    int FIndex;
};

// A document view, or its printable copy, asked to draw without a style table.
LUMESTA_EXCEPTION(EStyleNotAssigned, ELumestaError)
// A page number outside 1 .. number of pages.
LUMESTA_EXCEPTION(EInvalidPageNo, ELumestaError)
