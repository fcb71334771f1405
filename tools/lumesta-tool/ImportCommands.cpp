#include "ImportCommands.h"

#include "import/Import.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: lumesta-tool import INPUT OUTPUT.txt [--name NAME]\n");
    return 2;
}

// Written beside the target and renamed into place, so that a failure never
// leaves half a file under the output's name.
bool writeAtomically(const std::filesystem::path& target, const std::string& data, std::string& why)
{
    const std::filesystem::path tmp = target.string() + ".lumesta-" + std::to_string(::getpid()) + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            why = "cannot be created";
            return false;
        }
        out.write(data.data(), std::streamsize(data.size()));
        out.flush();
        if (!out) {
            why = "cannot be written";
            out.close();
            std::error_code ignored;
            std::filesystem::remove(tmp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, target, ec);
    if (ec) {
        why = ec.message();
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

} // namespace

int ImportCommand(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    importer::Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--name") {
            if (i + 1 >= args.size())
                return usage();
            options.name = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return usage();
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2)
        return usage();
    const std::filesystem::path input = files[0], output = files[1];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(input, ec)) {
        std::fprintf(stderr, "lumesta-tool: %s: no such file\n", input.string().c_str());
        return 1;
    }
    const importer::Result r = importer::importFile(input, options);
    if (!r.ok) {
        std::fprintf(stderr, "%s: %s\n", input.string().c_str(), r.error.c_str());
        std::fprintf(stderr, "import: nothing written\n");
        return 1;
    }
    for (const importer::Warning& w : r.warnings)
        std::fprintf(stderr, "%s: %s\n", input.string().c_str(), w.toString().c_str());
    std::string why;
    if (!writeAtomically(output, r.source, why)) {
        std::fprintf(stderr, "lumesta-tool: %s %s\n", output.string().c_str(), why.c_str());
        return 1;
    }
    std::printf("%s\n", r.summaryText().c_str());
    return 0;
}
