// The command line taken whole: the program's name is split off, nothing else is touched.
#include <gtest/gtest.h>

#include "command_line.h"

namespace {

TEST(CommandLine, KeepsQuotesAndBlanksOfTheArguments) {
    EXPECT_EQ(argumentsOfCommandLine(L"\"C:\\a b\\edamiru.exe\" \"Z:\\x y.jpg\""), L"\"Z:\\x y.jpg\"");
    EXPECT_EQ(argumentsOfCommandLine(L"edamiru.exe a  b.jpg "), L"a  b.jpg ");
    EXPECT_EQ(argumentsOfCommandLine(L"edamiru.exe\t \tpage.bmp"), L"page.bmp");
}

TEST(CommandLine, ProgramNameAloneGivesNothing) {
    EXPECT_EQ(argumentsOfCommandLine(L"edamiru.exe"), L"");
    EXPECT_EQ(argumentsOfCommandLine(L"\"C:\\a b\\edamiru.exe\"   "), L"");
    EXPECT_EQ(argumentsOfCommandLine(L""), L"");
    EXPECT_EQ(argumentsOfCommandLine(nullptr), L"");
}

TEST(CommandLine, QuotedNameEndsAtItsClosingQuoteEvenWithoutBlank) {
    EXPECT_EQ(argumentsOfCommandLine(L"\"edamiru.exe\"x.jpg"), L"x.jpg");
    EXPECT_EQ(argumentsOfCommandLine(L"\"edamiru.exe x.jpg"), L"");  // the quote never closes
}

}  // namespace
