/// Writes the manual page of the zenkel tool, made from its --help text, into the file named
/// by its argument; the build installs it as zenkel.1.
#include "cli/CliOptions.h"
#include "cli/ManPage.h"
#include "engine/DocLine.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: zenkel_manpage OUTPUT\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << zenkel::ManPageFromUsage(zenkel::cliUsage(), zenkel::ProgramTitle);
    out.close();
    if (!out) {
        std::cerr << "zenkel_manpage: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
