// Traditional carols, group A: public-domain melodies in their usual keys, with
// our own chord symbols, and the arrangements that play them.
#include "tools/bake/music/carol.h"

#include <string>
#include <vector>

namespace {
// English traditional; D major.
const Melody kFirstNoel = {
    "The First Noel", 3, 4,
    "F#4:1/2 E4:1/2 |"
    "D4:3/2 E4:1/2 F#4:1/2 G4:1/2 | A4:2 B4:1/2 C#5:1/2 | D5:1 C#5:1 B4:1 | A4:2 B4:1/2 C#5:1/2 |"
    "D5:1 C#5:1 B4:1 | A4:1 B4:1 C#5:1 | D5:1 A4:1 G4:1 | F#4:2 F#4:1/2 E4:1/2 |"
    "D4:3/2 E4:1/2 F#4:1/2 G4:1/2 | A4:2 B4:1/2 C#5:1/2 | D5:1 C#5:1 B4:1 | A4:2 B4:1/2 C#5:1/2 |"
    "D5:1 C#5:1 B4:1 | A4:1 B4:1 C#5:1 | D5:1 A4:1 G4:1 | F#4:2 F#4:1/2 E4:1/2 |"
    "D4:3/2 E4:1/2 F#4:1/2 G4:1/2 | A4:2 D5:1/2 C#5:1/2 | B4:2 B4:1 | A4:3 |"
    "D5:1 C#5:1 B4:1 | A4:1 B4:1 C#5:1 | D5:1 A4:1 G4:1 | F#4:2",
    "A7:1 |"
    "D:3 | D:2 A:1 | Bm:1 A:1 G:1 | D:2 A:1 |"
    "Bm:1 A:1 G:1 | D:1 G:1 A:1 | G:1 D:1 A7:1 | D:2 A7:1 |"
    "D:3 | D:2 A:1 | Bm:1 A:1 G:1 | D:2 A:1 |"
    "Bm:1 A:1 G:1 | D:1 G:1 A:1 | G:1 D:1 A7:1 | D:2 A7:1 |"
    "D:3 | D:2 A:1 | G:3 | D:3 |"
    "Bm:1 A:1 G:1 | D:1 G:1 A:1 | G:1 D:1 A7:1 | D:2",
};

// John Henry Hopkins, 1857: E minor verse, G major refrain; in 6/8.
const Melody kWeThreeKings = {
    "We Three Kings", 6, 8,
    "B4:2 A4:1 G4:2 E4:1 | F#4:1 G4:1 F#4:1 E4:3 | B4:2 A4:1 G4:2 E4:1 | F#4:1 G4:1 F#4:1 E4:3 |"
    "G4:2 G4:1 A4:2 A4:1 | B4:2 B4:1 D5:1 C5:1 B4:1 | A4:1 B4:1 A4:1 G4:2 F#4:1 | E4:3 F#4:2 A4:1 |"
    "G4:2 G4:1 G4:2 D4:1 | G4:2 E4:1 G4:3 | G4:2 G4:1 G4:2 D4:1 | G4:2 E4:1 G4:3 |"
    "G4:2 G4:1 A4:2 B4:1 | C5:2 B4:1 A4:2 B4:1 | G4:2 G4:1 G4:2 D4:1 | G4:2 E4:1 G4:3",
    "Em:6 | B7:3 Em:3 | Em:6 | B7:3 Em:3 |"
    "G:3 D:3 | G:6 | Am:3 B7:3 | Em:3 D:3 |"
    "G:6 | C:3 G:3 | G:6 | C:3 G:3 |"
    "G:3 Am:3 | C:3 Am:3 | G:6 | C:3 G:3",
};

// English traditional, as Frederic Austin set it (1909); in G. The song is
// cumulative, so it is built here day by day rather than written out: each
// day's opening, then the gifts counted down from that day's to the partridge.
// The short gifts take bars of three, so the tune is cut into runs of one
// meter each, played one after the other as a medley is.
struct Bar {
    int beats;  // 4 or 3 quarters
    std::string notes, chords;
};

void AddGift(std::vector<Bar>& bars, int gift, int day) {
    switch (gift) {
        case 12:  // "...drumming, e-"
            bars.push_back({3, "D5:1 A4:1/2 B4:1/2 C5:1/2 A4:1/4 D5:1/4", "G:1 D7:2"});
            break;
        case 11:
        case 7: bars.push_back({3, "D5:1/2 D5:1/2 A4:1/2 B4:1/2 C5:1/2 A4:1/2", "G:1 D7:2"}); break;
        case 10:
        case 9:
        case 8:
        case 6: bars.push_back({3, "D5:1 A4:1/2 B4:1/2 C5:1/2 A4:1/2", "G:1 D7:2"}); break;
        case 5:
            bars.push_back({4, "D5:2 E5:1 C#5:1", "D:2 A7:2"});
            bars.push_back({4, "D5:4", "D:4"});
            break;
        case 4:
        case 3:
            // Once the gold rings have come, the calling birds and French hens run down in quarters.
            if (day >= 5 && gift == 4) bars.push_back({3, "D5:1/2 C5:1/2 B4:1/2 A4:1/2 G4:1", "D7:2 G:1"});
            else if (day >= 5) bars.push_back({3, "C5:1 E4:1 G4:1", "C:3"});
            else bars.push_back({3, "D5:1 A4:1/2 B4:1/2 C5:1", "G:1 D7:2"});
            break;
        case 2:
            if (day >= 5) bars.push_back({4, "A4:1/2 G4:1/2 F#4:1/2 E4:1/2 D4:1 B4:1/2 C5:1/2", "Am:1 D7:1 G:2"});
            else bars.push_back({4, "D5:1 A4:1/2 B4:1/2 C5:1 B4:1/2 C5:1/2", "G:1 D7:1 C:1 D7:1"});
            break;
        default: break;
    }
}

std::vector<Bar> TwelveDaysBars() {
    std::vector<Bar> bars;
    bars.push_back({4, "D4:1/2 D4:1/2", "D7:1"});  // "On the"
    for (int day = 1; day <= 12; ++day) {
        // "sec-ond", "sev-enth" and "e-lev-enth" have a syllable more than "first".
        const bool split = day == 2 || day == 7 || day == 11;
        const char* dayOf = split ? "D4:1/2 D4:1/2 G4:1/2 G4:1/2 G4:1 F#4:1/2 G4:1/2"  // "...day of Christmas my"
                                  : "D4:1 G4:1/2 G4:1/2 G4:1 F#4:1/2 G4:1/2";
        bars.push_back({4, dayOf, "G:4"});
        const char* sentToMe = day == 1    ? "A4:1/2 B4:1/2 C5:1/2 A4:1/2 B4:3/2 C5:1/2"  // "...sent to me a"
                               : day == 11 ? "A4:1/2 B4:1/2 C5:1/2 A4:1/2 B4:7/4 D5:1/4"  // "...sent to me e-"
                                           : "A4:1/2 B4:1/2 C5:1/2 A4:1/2 B4:2";
        bars.push_back({4, sentToMe, "D7:2 G:2"});
        for (int gift = day; gift >= 2; --gift) AddGift(bars, gift, day);
        bars.push_back({4, "D5:1 E5:1/2 C5:1/2 B4:1/2 G4:1/2 A4:1", "G:1 C:1 G:1 D:1"});  // "partridge in a pear tree"
        if (day < 12) {
            // The next day's "On the" fills the bar: in the eleventh day, its first syllable is a triplet more.
            bars.push_back({4, day == 10 ? "G4:3 D4:1/3 D4:1/3 D4:1/3" : "G4:3 D4:1/2 D4:1/2", "G:3 D7:1"});
        } else {
            bars.push_back({4, "G4:4", "G:4"});
        }
    }
    return bars;
}

// The runs of one meter, each a melody of its own, made once for the whole bake.
std::vector<const Melody*> TwelveDays() {
    struct Runs {
        std::vector<std::string> text;  // notes and chords of each run; the melodies point into them
        std::vector<Melody> melodies;
    };
    static const Runs runs = [] {
        Runs r;
        std::vector<int> beats;
        for (const Bar& bar : TwelveDaysBars()) {
            if (beats.empty() || bar.beats != beats.back()) {
                beats.push_back(bar.beats);
                r.text.emplace_back();
                r.text.emplace_back();
            } else {
                r.text[r.text.size() - 2] += " | ";
                r.text.back() += " | ";
            }
            r.text[r.text.size() - 2] += bar.notes;
            r.text.back() += bar.chords;
        }
        for (std::size_t i = 0; i < beats.size(); ++i)
            r.melodies.push_back({"12 Days of Christmas", beats[i], 4, r.text[2 * i].c_str(), r.text[2 * i + 1].c_str()});
        return r;
    }();
    std::vector<const Melody*> out;
    for (const Melody& m : runs.melodies) out.push_back(&m);
    return out;
}

// French traditional, "Gloria"; F major.
const Melody kAngels = {
    "Angels We Have Heard On High", 4, 4,
    "A4:1 A4:1 A4:1 C5:1 | C5:3/2 Bb4:1/2 A4:2 | A4:1 G4:1 A4:1 C5:1 | A4:3/2 G4:1/2 F4:2 |"
    "A4:1 A4:1 A4:1 C5:1 | C5:3/2 Bb4:1/2 A4:2 | A4:1 G4:1 A4:1 C5:1 | A4:3/2 G4:1/2 F4:2 |"
    "C5:2 D5:1/2 C5:1/2 Bb4:1/2 A4:1/2 | Bb4:2 C5:1/2 Bb4:1/2 A4:1/2 G4:1/2 |"
    "A4:2 Bb4:1/2 A4:1/2 G4:1/2 F4:1/2 | G4:3/2 C4:1/2 C4:2 | F4:1 G4:1 A4:1 Bb4:1 | A4:2 G4:2 |"
    "C5:2 D5:1/2 C5:1/2 Bb4:1/2 A4:1/2 | Bb4:2 C5:1/2 Bb4:1/2 A4:1/2 G4:1/2 |"
    "A4:2 Bb4:1/2 A4:1/2 G4:1/2 F4:1/2 | G4:3/2 C4:1/2 C4:2 | F4:1 G4:1 A4:1 Bb4:1 | A4:2 G4:2 | F4:4",
    "F:2 Dm:1 C:1 | F:4 | F:1 C:1 F:2 | Dm:1 C:1 F:2 |"
    "F:2 Dm:1 C:1 | F:4 | F:1 C:1 F:2 | Dm:1 C:1 F:2 |"
    "F:2 Bb:1 F:1 | Bb:2 F:1 C:1 |"
    "F:2 Gm:1 Dm:1 | C:4 | F:1 C:1 F:1 Bb:1 | F:2 C:2 |"
    "F:2 Bb:1 F:1 | Bb:2 F:1 C:1 |"
    "F:2 Gm:1 Dm:1 | C:4 | F:1 C:1 F:1 Bb:1 | F:2 C7:2 | F:4",
};

// Austrian, 19th century; G major.
const Melody kAsLately = {
    "As Lately We Watched", 3, 4,
    "D4:1 |"
    "G4:1 G4:1 A4:1 | G4:1 B4:1/2 A4:1/2 G4:1/2 F#4:1/2 | E4:1 A4:1 F#4:1 | G4:2 D4:1 |"
    "G4:1 G4:1 A4:1 | G4:1 B4:1/2 A4:1/2 G4:1/2 F#4:1/2 | E4:1 A4:1 F#4:1 | G4:3 |"
    "B4:1 B4:1/2 A4:1/2 G4:1/2 F#4:1/2 | E4:3 | A4:1 A4:1/2 G4:1/2 F#4:1/2 E4:1/2 | D4:2 D4:1 |"
    "G4:1 G4:1 A4:1 | G4:1 B4:1/2 A4:1/2 G4:1/2 F#4:1/2 | E4:1 A4:1 F#4:1 | G4:2",
    "D:1 |"
    "G:2 D:1 | G:1 Em:1 G:1 | C:1 D:1 D7:1 | G:2 D:1 |"
    "G:2 D:1 | G:1 Em:1 G:1 | C:1 D:1 D7:1 | G:3 |"
    "G:1 Em:2 | C:3 | D:3 | G:2 D:1 |"
    "G:2 D:1 | G:1 Em:1 G:1 | C:1 D:1 D7:1 | G:2",
};

// William J. Kirkpatrick, "Cradle Song", 1895; F major.
const Melody kAwayInAManger = {
    "Away In A Manger", 3, 4,
    "C4:1 |"
    "F4:1 F4:1 G4:1/2 A4:1/2 | F4:1 F4:1 A4:1/2 Bb4:1/2 | C5:1 C5:1 D5:1 | Bb4:2 G4:1/2 A4:1/2 |"
    "Bb4:1 Bb4:1 C5:1 | A4:1 A4:1 F4:1/2 A4:1/2 | G4:1 D4:1 F4:1 | E4:2 C4:1 |"
    "F4:1 F4:1 G4:1/2 A4:1/2 | F4:1 F4:1 A4:1/2 Bb4:1/2 | C5:1 C5:1 D5:1 | Bb4:2 G4:1/2 A4:1/2 |"
    "Bb4:1 Bb4:1 C5:1 | A4:1 A4:1 F4:1/2 A4:1/2 | G4:1 D4:1 E4:1 | F4:2",
    "C:1 |"
    "F:2 C:1 | F:3 | F:2 Bb:1 | Bb:2 C:1 |"
    "Bb:2 C:1 | F:3 | Gm:1 Bb:1 Dm:1 | C:3 |"
    "F:2 C:1 | F:3 | F:2 Bb:1 | Bb:2 C:1 |"
    "Bb:2 C:1 | F:2 Dm:1 | Gm:1 Bb:1 C7:1 | F:2",
};

// Pietro Yon, 1917: a pastoral verse, then the refrain that quotes "Adeste
// Fideles" ("O come let us adore Him, Christ the Lord"); F major, 6/8.
const Melody kGesuBambino = {
    "Gesu Bambino", 6, 8,
    "C5:3 A4:2 Bb4:1 | C5:2 A4:1 F4:3 | G4:2 A4:1 Bb4:2 G4:1 | A4:6 |"
    "C5:3 A4:2 Bb4:1 | C5:2 D5:1 C5:3 | Bb4:2 A4:1 G4:2 A4:1 | F4:6 |"
    "A4:2 Bb4:1 C5:2 F5:1 | E5:2 D5:1 C5:3 | D5:2 C5:1 Bb4:2 A4:1 | G4:6 |"
    "C5:3 A4:2 Bb4:1 | C5:2 A4:1 F4:3 | G4:2 A4:1 Bb4:2 G4:1 | F4:3 F4:3 |"
    "F4:3 E4:3 | F4:3 G4:3 | F4:6 | C4:3 A4:3 | A4:3 G4:3 | A4:3 Bb4:3 | A4:6 | G4:3 A4:3 |"
    "Bb4:3 A4:3 | G4:3 F4:3 | E4:6 | F4:3 Bb4:3 | A4:6 | G4:9/2 F4:3/2 | F4:6",
    "F:6 | F:6 | C:3 Gm:3 | F:6 |"
    "F:6 | F:3 Dm:3 | Gm:3 C:3 | F:6 |"
    "F:6 | C:6 | Bb:3 F:3 | C:6 |"
    "F:6 | F:6 | C:3 Gm:3 | F:6 |"
    "F:3 C:3 | F:3 C:3 | F:6 | C:3 F:3 | F:3 C:3 | F:3 Bb:3 | F:6 | C:3 F:3 |"
    "Bb:3 F:3 | C:3 Dm:3 | C:6 | F:3 Bb:3 | F:6 | C7:6 | F:6",
};

// Mykola Leontovych, "Shchedryk", 1916; G minor.
const Melody kCarolOfTheBells = {
    "Carol Of The Bells", 3, 4,
    "Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 |"
    "Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 |"
    "D5:1 C5:1/2 D5:1/2 Bb4:1 | D5:1 C5:1/2 D5:1/2 Bb4:1 | D5:1 C5:1/2 D5:1/2 Bb4:1 | D5:1 C5:1/2 D5:1/2 Bb4:1 |"
    "G5:1 G5:1/2 G5:1/2 F5:1/2 Eb5:1/2 | D5:1 D5:1/2 D5:1/2 C5:1/2 Bb4:1/2 | C5:1 C5:1/2 C5:1/2 D5:1/2 C5:1/2 | G4:1 G4:1/2 G4:1/2 G4:1 |"
    "D4:1/2 E4:1/2 F#4:1/2 G4:1/2 A4:1/2 Bb4:1/2 | C5:1/2 D5:1/2 C5:1 Bb4:1 |"
    "D4:1/2 E4:1/2 F#4:1/2 G4:1/2 A4:1/2 Bb4:1/2 | C5:1/2 D5:1/2 C5:1 Bb4:1 |"
    "Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 | Bb4:1 A4:1/2 Bb4:1/2 G4:1 |"
    "G4:3 | G4:3 | G4:3 | G4:3 | D5:1 C5:1/2 D5:1/2 G4:1~ | G4:3",
    "Gm:3 | Gm/F:3 | Eb:3 | Gm/D:3 |"
    "Gm:3 | Gm/F:3 | Eb:3 | Gm/D:3 |"
    "Gm:3 | F:3 | Eb:3 | Gm/D:3 |"
    "Eb:3 | Gm:3 | Cm:3 | Gm:3 |"
    "D:3 | Cm:2 Gm:1 |"
    "D:3 | D7:2 Gm:1 |"
    "Gm:3 | Gm/F:3 | Eb:3 | Gm/D:3 |"
    "Gm:3 | Eb:3 | Cm:3 | Gm:3 | Gm:3 | Gm:3",
};

// John Francis Wade, "Adeste Fideles", c. 1751; G major.
const Melody kAdesteFideles = {
    "O Come All Ye Faithful", 4, 4,
    "G4:1 |"
    "G4:2 D4:1 G4:1 | A4:2 D4:2 | B4:1 A4:1 B4:1 C5:1 | B4:2 A4:1 G4:1 |"
    "G4:2 F#4:1 E4:1 | F#4:1 G4:1 A4:1 B4:1 | F#4:2 E4:3/2 D4:1/2 | D4:3 r:1 |"
    "D5:2 C5:1 B4:1 | C5:2 B4:2 | A4:1 B4:1 G4:1 A4:1 | F#4:3/2 E4:1/2 D4:1 G4:1 |"
    "G4:1 F#4:1 G4:1 A4:1 | G4:2 D4:1 B4:1 | B4:1 A4:1 B4:1 C5:1 | B4:2 A4:1 B4:1 |"
    "C5:1 B4:1 A4:1 G4:1 | F#4:2 G4:1 C5:1 | B4:2 A4:3/2 G4:1/2 | G4:3",
    "G:1 |"
    "G:2 D:1 G:1 | D:4 | G:1 D:1 G:1 C:1 | G:2 D:1 G:1 |"
    "Em:2 D:1 Am:1 | D:1 G:1 D:1 G:1 | D:2 A7:2 | D:4 |"
    "G:2 Em:2 | C:2 G:2 | D:1 G:1 Em:1 D:1 | D:3 G:1 |"
    "G:1 D:1 G:1 D:1 | G:2 D:1 G:1 | G:1 D:1 G:1 C:1 | G:2 D:1 G:1 |"
    "C:1 G:1 D:1 Em:1 | D:2 G:1 C:1 | G:2 D7:2 | G:3",
};

// Welsh, "Nos Galan"; G major.
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

// French, "Branle de l'Official" (Arbeau, 1589); G major.
const Melody kDingDong = {
    "Ding Dong Merrily On High", 4, 4,
    "G4:1 G4:1 A4:1/2 G4:1/2 F#4:1/2 E4:1/2 | D4:3 D4:1 | E4:1 G4:1 G4:1 F#4:1 | G4:2 G4:2 |"
    "G4:1 G4:1 A4:1/2 G4:1/2 F#4:1/2 E4:1/2 | D4:3 D4:1 | E4:1 G4:1 G4:1 F#4:1 | G4:2 G4:2 |"
    "D5:3/2 C5:1/2 B4:1/2 C5:1/2 D5:1/2 B4:1/2 | C5:3/2 B4:1/2 A4:1/2 B4:1/2 C5:1/2 A4:1/2 |"
    "B4:3/2 A4:1/2 G4:1/2 A4:1/2 B4:1/2 G4:1/2 | A4:3/2 G4:1/2 F#4:1/2 G4:1/2 A4:1/2 F#4:1/2 |"
    "G4:3/2 F#4:1/2 E4:1/2 F#4:1/2 G4:1/2 E4:1/2 | F#4:3/2 E4:1/2 D4:1 D4:1 | E4:1 G4:1 G4:1 F#4:1 | G4:2 G4:2 |"
    "D5:3/2 C5:1/2 B4:1/2 C5:1/2 D5:1/2 B4:1/2 | C5:3/2 B4:1/2 A4:1/2 B4:1/2 C5:1/2 A4:1/2 |"
    "B4:3/2 A4:1/2 G4:1/2 A4:1/2 B4:1/2 G4:1/2 | A4:3/2 G4:1/2 F#4:1/2 G4:1/2 A4:1/2 F#4:1/2 |"
    "G4:3/2 F#4:1/2 E4:1/2 F#4:1/2 G4:1/2 E4:1/2 | F#4:3/2 E4:1/2 D4:1 D4:1 | E4:1 G4:1 G4:1 F#4:1 | G4:4",
    "G:2 D:2 | G:4 | C:1 G:1 Em:1 D:1 | G:4 |"
    "G:2 D:2 | G:4 | C:1 G:1 Em:1 D:1 | G:4 |"
    "G:4 | C:2 Am:2 |"
    "G:2 Em:2 | D:4 |"
    "Em:2 C:2 | D:4 | C:1 G:1 Am:1 D:1 | G:4 |"
    "G:4 | C:2 Am:2 |"
    "G:2 Em:2 | D:4 |"
    "Em:2 C:2 | D:4 | C:1 G:1 Am:1 D:1 | G:4",
};

// "Veni Emmanuel", 15th-century French processional; E minor.
const Melody kEmmanuel = {
    "O Come O Come Emmanuel", 4, 4,
    "E4:1 |"
    "G4:1 B4:1 B4:1 B4:1 | A4:1 C5:1 B4:1 A4:1 | G4:3 A4:1 | B4:1 G4:1 E4:1 G4:1 | A4:1 F#4:1 E4:1 D4:1 | E4:3 A4:1 |"
    "A4:1 E4:1 E4:1 F#4:1 | G4:2 F#4:1 E4:1 | D4:3 G4:1 | A4:1 B4:1 B4:1 B4:1 | A4:1 C5:1 B4:1 A4:1 | G4:3 D5:1 |"
    "D5:3 B4:1 | B4:3 B4:1 | A4:1 C5:1 B4:1 A4:1 | G4:3 A4:1 | B4:1 G4:1 E4:1 G4:1 | A4:1 F#4:1 E4:1 D4:1 | E4:3",
    "Em:1 |"
    "Em:2 G:2 | D:1 Am:1 G:1 D:1 | G:3 D:1 | G:1 Em:2 C:1 | Am:1 B7:1 Em:1 D:1 | Em:3 Am:1 |"
    "Am:2 C:1 D:1 | G:2 D:1 Em:1 | D:3 G:1 | D:1 G:3 | D:1 Am:1 G:1 D:1 | G:4 |"
    "G:3 Em:1 | Em:4 | D:1 Am:1 G:1 D:1 | G:3 D:1 | G:1 Em:2 C:1 | Am:1 B7:1 Em:1 D:1 | Em:3",
};

// English traditional, London tune; E minor.
const Melody kGodRest = {
    "God Rest Ye Merry Gentlemen", 4, 4,
    "E4:1 |"
    "E4:1 B4:1 B4:1 A4:1 | G4:1 F#4:1 E4:1 D4:1 | E4:1 F#4:1 G4:1 A4:1 | B4:3 E4:1 |"
    "E4:1 B4:1 B4:1 A4:1 | G4:1 F#4:1 E4:1 D4:1 | E4:1 F#4:1 G4:1 A4:1 | B4:2 r:1 B4:1 |"
    "C5:1 A4:1 B4:1 C5:1 | D5:1 E5:1 B4:1 A4:1 | G4:1 E4:1 F#4:1 G4:1 | A4:2 G4:1 A4:1 |"
    "B4:2 C5:1 B4:1 | B4:1 A4:1 G4:1 F#4:1 | E4:2 G4:1/2 F#4:1/2 E4:1 | A4:2 G4:1 A4:1 |"
    "B4:1 C5:1 D5:1 E5:1 | B4:1 A4:1 G4:1 F#4:1 | E4:3",
    "Em:1 |"
    "Em:4 | C:1 B7:1 Em:1 D:1 | Em:1 D:1 C:1 Am:1 | B:3 Em:1 |"
    "Em:4 | C:1 B7:1 Em:1 D:1 | Em:1 D:1 C:1 Am:1 | B:3 Em:1 |"
    "Am:2 G:1 Am:1 | G:1 C:1 G:1 D:1 | Em:2 D:1 G:1 | D:4 |"
    "G:2 Am:1 G:1 | Em:1 D:1 C:1 B7:1 | Em:4 | D:4 |"
    "G:3 C:1 | Em:1 D:1 C:1 B7:1 | Em:3",
};

// Felix Mendelssohn, "Festgesang", 1840, as set to Wesley's words; G major.
const Melody kHark = {
    "Hark The Herald Angels Sing", 4, 4,
    "D4:1 G4:1 |"
    "G4:3/2 F#4:1/2 G4:1 B4:1 | B4:1 A4:1 D5:1 D5:1 | D5:3/2 C5:1/2 B4:1 A4:1 | B4:2 D4:1 G4:1 |"
    "G4:3/2 F#4:1/2 G4:1 B4:1 | B4:1 A4:1 D5:1 A4:1 | A4:3/2 F#4:1/2 F#4:1 E4:1 | D4:2 D5:1 D5:1 |"
    "D5:1 G4:1 C5:1 B4:1 | B4:1 A4:1 D5:1 D5:1 | D5:1 G4:1 C5:1 B4:1 | B4:1 A4:1 E5:1 E5:1 |"
    "E5:1 D5:1 C5:1 B4:1 | C5:2 A4:1 B4:1/2 C5:1/2 | D5:3/2 G4:1/2 G4:1 A4:1 | B4:2 E5:3/2 E5:1/2 |"
    "E5:1 D5:1 C5:1 B4:1 | C5:2 A4:1 B4:1/2 C5:1/2 | D5:3/2 G4:1/2 G4:1 A4:1 | G4:2",
    "G:2 |"
    "G:4 | G:1 D:1 G:2 | C:1 Am:1 G:1 D:1 | G:4 |"
    "G:2 Em:1 G:1 | Em:1 A7:1 D:1 A:1 | D:2 Bm:1 A7:1 | D:4 |"
    "D:1 G:1 D7:1 G:1 | G:1 D:1 D:2 | D:1 G:1 D7:1 G:1 | G:1 D:1 C:2 |"
    "C:1 G:1 Am:1 E:1 | Am:2 D:1 D7:1 | G:2 D:2 | G:2 C:2 |"
    "C:1 G:1 Am:1 E:1 | Am:2 D:1 D7:1 | G:2 D:2 | G:2",
};
}  // namespace

std::vector<Arrangement> TraditionalA() {
    return {
        {"music/1stnoel.mid", {&kFirstNoel}, Style::Hymn, 100, 0, -1, 2},
        {"music/3KINGS.MID", {&kWeThreeKings}, Style::Jig, 150, 0, -1, 2},
        {"music/WE3KNGGM.MID", {&kWeThreeKings}, Style::MusicBox, 132, 5, -1, 2},
        {"music/12days.mid", TwelveDays(), Style::March, 120, 0, -1, 1},
        {"music/ANGELS2.MID", {&kAngels}, Style::Choir, 96, 0, -1, 2},
        {"music/ASLATELY.MID", {&kAsLately}, Style::Waltz, 132, 0, -1, 2},
        {"music/Awayin.mid", {&kAwayInAManger}, Style::Lullaby, 84, 0, -1, 2},
        {"music/BAMBINO.MID", {&kGesuBambino}, Style::Ballad, 160, 0, -1, 1},
        {"music/BELL.MID", {&kCarolOfTheBells}, Style::Bells, 160, 0, -1, 1},
        {"music/CAROBEL.MID", {&kCarolOfTheBells}, Style::Choir, 144, -2, -1, 1},
        {"music/COMYE.MID", {&kAdesteFideles}, Style::Hymn, 96, 0, -1, 2},
        {"music/ohcome.mid", {&kAdesteFideles}, Style::Ballad, 88, 3, -1, 2},
        {"music/deck.mid", {&kDeckTheHalls}, Style::March, 116, 0, -1, 2},
        {"music/DECKPW.MID", {&kDeckTheHalls}, Style::Swing, 132, -2, -1, 2},
        {"music/DingDong.mid", {&kDingDong}, Style::Bells, 120, 0, -1, 2},
        {"music/EMMANUEL.MID", {&kEmmanuel}, Style::Choir, 76, 0, -1, 2},
        {"music/GODREST.MID", {&kGodRest}, Style::Hymn, 104, 0, -1, 2},
        {"music/GODRESTY.MID", {&kGodRest}, Style::Swing, 144, -2, -1, 2},
        {"music/godrestyou.mid", {&kGodRest}, Style::Rock, 152, 0, -1, 2},
        {"music/hark.mid", {&kHark}, Style::Hymn, 92, -2, -1, 2},
    };
}
