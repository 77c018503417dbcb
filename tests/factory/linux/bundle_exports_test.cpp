// The shared library's dynamic symbol table: the entry points and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>

TEST(Bundle, ExportsOnlyItsEntryPoints)
{
    std::string command = std::string("nm -D --defined-only '") + QUORVANE_BUNDLE_SO + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::set<std::string> symbols;
    char line[512];
    while (fgets(line, sizeof(line), pipe.get()))
    {
        char address[64], type[8], name[400];
        if (sscanf(line, "%63s %7s %399s", address, type, name) == 3)
            symbols.insert(name);
    }
    const std::set<std::string> allowed = {"GetPluginFactory", "InitDll",    "ExitDll",
                                           "ModuleEntry",      "ModuleExit", "VSTPluginMain"};
    for (const auto& s : symbols)
        EXPECT_TRUE(allowed.count(s)) << "unexpected export " << s;
    for (const char* s : {"GetPluginFactory", "InitDll", "ExitDll", "ModuleEntry", "ModuleExit"})
        EXPECT_TRUE(symbols.count(s)) << "missing export " << s;
}
