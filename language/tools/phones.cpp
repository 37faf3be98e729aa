// vorsan-phones <rulefile> <word>...: loads a language rule file and prints
// the phones (name and duration) of each word, one word per line.
#include <iostream>

#include "vorsan/core/MException.h"
#include "vorsan/core/Text.h"
#include "vorsan/language/LanguageRuleBase.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: vorsan-phones <rulefile> <word>...\n";
        return 2;
    }
    try {
        auto language = vorsan::LanguageRuleBase::load(argv[1]);
        for (int i = 2; i < argc; ++i) {
            std::cout << argv[i] << ':';
            for (const auto& unit : language->convertWord(vorsan::utf8ToUtf16(argv[i])))
                std::cout << ' ' << unit.name << '/' << unit.duration;
            std::cout << '\n';
        }
    } catch (const vorsan::MException& e) {
        std::cerr << "error: " << e.message() << '\n';
        return 1;
    }
    return 0;
}
