// lumesta-tool: data preparation and inspection for Lumesta.
//
// Each command is one entry of the table below: its name, a usage line and
// the function that runs it with the words after the name. A command of
// another unit is added with one line here.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ImportCommands.h"
#include "LinkCommands.h"
#include "PackCommands.h"
#include "SearchCommands.h"
#include "StoreCommands.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"list", "list [--json] DICTIONARY DATAFOLDER NAME", ListCommand},
    {"decode", "decode [--json] DICTIONARY DATAFOLDER NAME", DecodeCommand},
    {"links", "links [--json] DICTIONARY DATAFOLDER NAME", LinksCommand},
    {"pack", "pack SOURCE_FOLDER OUTPUT_FOLDER", PackCommand},
    {"stems", "stems DICTIONARY", StemsCommand},
    {"verify", "verify SOURCE_FOLDER OUTPUT_FOLDER", VerifyCommand},
    {"search", "search DICTIONARY DATAFOLDER QUERY [--json] [--exact]", SearchCommand},
    {"generate", "generate OUTPUT_FOLDER [--bytes N] [--seed S] [--codes K] [--acts A]", GenerateCommand},
    {"import", "import INPUT OUTPUT.txt [--name NAME]", ImportCommand},
};

int usage()
{
    std::fprintf(stderr, "usage: lumesta-tool COMMAND ...\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %s\n", c.usage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0)
            return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "lumesta-tool: unknown command '%s'\n", argv[1]);
    return usage();
}
