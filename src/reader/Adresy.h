#pragma once
// Web addresses of the company and of the program's maker, as the link
// labels show them and as the browser is asked to open them.
namespace adresy {

inline constexpr const char* AdresFirmy = "www.mardovelt.pl";
inline constexpr const char* StronaFirmy = "http://www.mardovelt.pl";
inline constexpr const char* AdresTworcy = "www.brovank.pl";
inline constexpr const char* StronaTworcy = "http://www.brovank.pl";

} // namespace adresy
