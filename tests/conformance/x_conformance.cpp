// The X figure against X's own counting library: x-oracle/oracle.js runs twitter-text over the
// weighted-length cases of the library's conformance file and several thousand generated texts
// (Japanese prose, half-width katakana, links of every kind, e-mail addresses and near misses,
// emoji sequences, marks and controls), and every weight it prints must be Quillet's.
//
//   quillet_x_conformance ORACLE_JS NODE_MODULES
#include <cstdio>
#include <memory>
#include <string>

#include "counting/figures.h"

namespace {

std::u16string FromHex(const std::string& hex) {
    std::u16string text;
    for (std::size_t i = 0; i + 4 <= hex.size(); i += 4) {
        text.push_back(static_cast<char16_t>(std::stoul(hex.substr(i, 4), nullptr, 16)));
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet_x_conformance ORACLE_JS NODE_MODULES\n");
        return 2;
    }
    const std::string command = std::string("node '") + argv[1] + "' '" + argv[2] + "'";
    const std::unique_ptr<FILE, int (*)(FILE*)> oracle(popen(command.c_str(), "r"), pclose);
    if (!oracle) {
        std::perror("node");
        return 2;
    }
    int texts = 0, differ = 0;
    std::string line;
    for (int c; (c = std::fgetc(oracle.get())) != EOF;) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::u16string text = FromHex(line.substr(0, space));
        const std::string expected = line.substr(space + 1);
        const int64_t mine = quillet::XWeightedLength(text);
        ++texts;
        if (expected != std::to_string(mine)) {
            if (++differ <= 20) {
                std::printf("twitter-text %s, Quillet %lld:", expected.c_str(),
                            static_cast<long long>(mine));
                for (char16_t u : text) std::printf(" %04X", static_cast<unsigned>(u));
                std::printf("\n");
            }
        }
        line.clear();
    }
    if (texts == 0) {
        std::printf("twitter-text gave nothing: is it installed in %s?\n", argv[2]);
        return 1;
    }
    std::printf("%d texts against twitter-text: %d differ\n", texts, differ);
    return differ == 0 ? 0 : 1;
}
