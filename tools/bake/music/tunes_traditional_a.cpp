// Traditional carols, group A: public-domain melodies with our own harmony and arrangements.
#include "tools/bake/music/carol.h"

namespace {
// Welsh, "Nos Galan"; in G.
const Melody kDeckTheHalls = {
    "Deck The Halls", 4, 4,
    "D5:3/2 C5:1/2 B4:1 A4:1 | G4:1 A4:1 B4:1 G4:1 | A4:1/2 B4:1/2 C5:1/2 A4:1/2 B4:3/2 A4:1/2 | G4:1 F#4:1 G4:2 |"
    "D5:3/2 C5:1/2 B4:1 A4:1 | G4:1 A4:1 B4:1 G4:1 | A4:1/2 B4:1/2 C5:1/2 A4:1/2 B4:3/2 A4:1/2 | G4:1 F#4:1 G4:2 |"
    "A4:3/2 B4:1/2 C5:1 A4:1 | B4:3/2 C5:1/2 D5:1 A4:1 | B4:1/2 C#5:1/2 D5:1 E5:1/2 F#5:1/2 G5:1 | F#5:1 E5:1 D5:2 |"
    "D5:3/2 C5:1/2 B4:1 A4:1 | G4:1 A4:1 B4:1 G4:1 | E5:1/2 E5:1/2 E5:1/2 E5:1/2 D5:3/2 C5:1/2 | B4:1 A4:1 G4:2",
    "G:4 | G:3 Em:1 | Am:1 D7:1 G:2 | G:1 D7:1 G:2 |"
    "G:4 | G:3 Em:1 | Am:1 D7:1 G:2 | G:1 D7:1 G:2 |"
    "Am:2 D7:2 | G:2 D:2 | G:1 D:1 A7:2 | D:1 A7:1 D:2 |"
    "G:4 | G:3 Em:1 | C:2 G:2 | G:1 D7:1 G:2",
};
}  // namespace

std::vector<Arrangement> TraditionalA() {
    return {
        {"music/deck.mid", {&kDeckTheHalls}, Style::March, 112, 0, -1, 2},
        {"music/DECKPW.MID", {&kDeckTheHalls}, Style::Swing, 132, -2, -1, 2},
    };
}
