#pragma once
// Runs lumesta-tool as a program and collects what it writes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

struct Wynik {
    int kod = -1;
    std::string wyjscie;
    std::string bledy;
};

inline std::string cytuj(const std::string& s)
{
    std::string o = "'";
    for (char c : s) {
        if (c == '\'')
            o += "'\\''";
        else
            o += c;
    }
    return o + "'";
}

// Standard error goes through a file in `tmp`. `bezEkranu` runs the tool with
// no display at all, for commands that must not need one.
inline Wynik uruchomNarzedzie(const std::vector<std::string>& args, const std::filesystem::path& tmp,
                              bool bezEkranu = false)
{
    std::string cmd = (bezEkranu ? "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " : "") +
                      cytuj(LUMESTA_BIN_DIR "/lumesta-tool");
    for (const auto& a : args)
        cmd += " " + cytuj(a);
    const auto bledy = tmp / "stderr.txt";
    cmd += " 2>" + cytuj(bledy.string());
    Wynik w;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return w;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        w.wyjscie.append(buf, n);
    const int status = pclose(p);
    w.kod = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream f(bledy);
    w.bledy.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return w;
}
