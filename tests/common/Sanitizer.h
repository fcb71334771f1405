#pragma once
// Whether the tests run under AddressSanitizer, whose shadow memory needs
// far more address space than any limit a test could set.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizer = true;
#else
inline constexpr bool kSanitizer = false;
#endif
#else
inline constexpr bool kSanitizer = false;
#endif
