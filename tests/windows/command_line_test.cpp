// The command line: the program's name split off, and the file that the rest names.
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

TEST(CommandLine, QuotedPathsNameTheFirstWithoutQuotesAndAnythingElseStaysWhole) {
    const struct {
        const wchar_t* arguments;
        const wchar_t* path;
    } cases[] = {
        {L"\"C:\\a b\\p.jpg\"", L"C:\\a b\\p.jpg"},
        {L"\"C:\\p.jpg\"  \t", L"C:\\p.jpg"},
        {L"\"C:\\one.jpg\" \"C:\\two.jpg\"", L"C:\\one.jpg"},
        {L"C:\\a b.jpg", L"C:\\a b.jpg"},
        {L"\"C:\\p.jpg", L"\"C:\\p.jpg"},                       // the quote never closes
        {L"\"C:\\p.jpg\"x", L"\"C:\\p.jpg\"x"},                 // text right after the quote
        {L"\"C:\\p.jpg\" x.jpg", L"\"C:\\p.jpg\" x.jpg"},       // an unquoted second name
        {L"\"\"", L"\"\""},                                      // nothing inside
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(pathOfArguments(c.arguments), c.path) << c.arguments;
}

}  // namespace
