#include "HelpPages.h"

namespace orkahelp {

namespace {

// Topics of the settings tabs, by context / 10 - 1.
constexpr const char* kTabPages[] = {
    ":/help/PcOrka/10-reglages.html",       // 10 Réglages
    ":/help/PcOrka/20-compensations.html",  // 20 Compensations
    ":/help/PcOrka/30-automatismes.html",   // 30 Automatismes
    ":/help/PcOrka/40-presentation.html",   // 40 Présentation
    ":/help/PcOrka/50-parametrages.html",   // 50 Paramétrages
};
static_assert(sizeof kTabPages / sizeof kTabPages[0] ==
              (kLastTabContext - kFirstTabContext) / 10 + 1);

}  // namespace

const char* HelpPagePath(int context) {
    if (context < kFirstTabContext || context > kLastTabContext || context % 10 != 0) {
        return HelpContentsPath();
    }
    return kTabPages[context / 10 - 1];
}

const char* HelpContentsPath() {
    return ":/help/PcOrka/index.html";
}

const char* ProgDHHelpPath() {
    return ":/help/ProgDH/index.html";
}

}  // namespace orkahelp
