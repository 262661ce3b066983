/// Tests of the manual page made from the --help text.
#include "cli/ManPage.h"

#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace zenkel {
namespace {

TEST(ManPageTest, UsageBecomesSynopsisSectionsAndLiteralLines)
{
    const std::string page = ManPageFromUsage("zenkel --help\n"
                                              "\n"
                                              "EXIT STATUS\n"
                                              "Exit status: 0 all done\n"
                                              ".dot first\n"
                                              "  'quote, back\\slash -x\n",
        "v1");
    EXPECT_EQ(page,
        ".TH ZENKEL 1 \"\" \"v1\" \"User Commands\"\n"
        ".SH NAME\n"
        "zenkel \\- format, compress or trim HTML source files with a Zenkel HTML style\n"
        ".SH SYNOPSIS\n.nf\nzenkel \\-\\-help\n.fi\n"
        ".SH EXIT STATUS\n.nf\nExit status: 0 all done\n"
        "\\&.dot first\n  'quote, back\\eslash \\-x\n.fi\n");
    // The real text: every section of --help becomes a section of the page.
    const std::string real = ManPageFromUsage(cliUsage(), "v");
    for (const char* section : {"DESCRIPTION", "COMMANDS", "OPTIONS", "FILES", "EXAMPLES"})
        EXPECT_NE(real.find(std::string(".SH ") + section + "\n"), std::string::npos) << section;
}

} // namespace
} // namespace zenkel
