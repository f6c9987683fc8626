// Traditional carols, group B: public-domain melodies with our own harmony and arrangements.
//
// Each melody is written once, in the key it is usually sung in, and the
// arrangements below give it its keys, tempi and sounds. Pick-ups are written
// as a short first bar, and where a tune closes on a bar that the pick-up
// would complete, the last bar is left short to match.
#include "tools/bake/music/carol.h"

namespace {

// English traditional, as sung to "The holly and the ivy, when they are both full grown"; in G.
const Melody kHollyAndIvy = {
    "The Holly And The Ivy", 3, 4,
    "G4:1 |"
    " G4:1/2 G4:1/2 G4:1 E5:1 | D5:1 B4:3/2 G4:1/2 | G4:1/2 G4:1/2 G4:1/2 G4:1/2 E5:1/2 E5:1/2 | D5:2 D5:1/2 C5:1/2 |"
    " B4:1/2 A4:1/2 G4:1 B4:1/2 B4:1/2 | E4:1/2 E4:1/2 D4:1 G4:1/2 A4:1/2 | B4:1/2 C5:1/2 B4:1 A4:1/2 A4:1/2 | G4:2 r:1/2 G4:1/2 |"
    // "The rising of the sun and the running of the deer"
    " G4:1/2 G4:1/2 G4:1 E5:1 | D5:1 B4:1 G4:1/2 G4:1/2 | G4:1/2 G4:1/2 G4:1 E5:1 | D5:2 D5:1/2 C5:1/2 |"
    " B4:1/2 A4:1/2 G4:1 B4:1 | E4:1/2 E4:1/2 D4:1 G4:1/2 A4:1/2 | B4:1/2 C5:1/2 B4:1 A4:1 | G4:2",
    "G:1 |"
    " G:2 C:1 | G:3 | G:2 C:1 | G:2 D7:1 |"
    " G:2 Em:1 | C:1 G:1 D:1 | G:1 Em:1 D:1 | G:3 |"
    " G:2 C:1 | G:3 | G:2 C:1 | G:2 D7:1 |"
    " G:2 Em:1 | C:1 G:1 D:1 | G:1 D7:2 | G:2",
};

// English traditional (Sandys, 1833); in G, two verses' worth with the second ending.
const Melody kThreeShips = {
    "I Saw Three Ships", 6, 8,
    "D4:1 |"
    " G4:2 G4:1 A4:2 B4:1 | D5:2 B4:1 A4:2 C5:1 | B4:2 G4:1 G4:2 B4:1 | A4:2 F#4:1 D4:2 D4:1 |"
    " G4:2 G4:1 A4:2 B4:1 | D5:2 B4:1 A4:2 C5:1 | B4:2 G4:1 G4:1 A4:1 B4:1 | A4:3 G4:2 D4:1 |"
    " G4:2 G4:1 A4:2 B4:1 | D5:2 B4:1 A4:2 C5:1 | B4:2 G4:1 G4:2 B4:1 | A4:2 F#4:1 D4:2 D4:1 |"
    " G4:2 G4:1 A4:2 B4:1 | D5:2 B4:1 A4:2 C5:1 | B4:2 G4:1 G4:1 A4:1 B4:1 | A4:3 G4:3",
    "D:1 |"
    " G:6 | G:3 D7:3 | G:3 Em:3 | D:3 D7:3 |"
    " G:6 | G:3 D7:3 | G:3 Em:3 | D7:3 G:3 |"
    " G:6 | G:3 D7:3 | G:3 Em:3 | D:3 D7:3 |"
    " G:6 | G:3 D7:3 | G:3 Em:3 | D7:3 G:3",
};

// "Carol", Richard Storrs Willis (1850); in B flat, in 6/8, the line sung to
// "It came upon the midnight clear, that glorious song of old".
const Melody kItCameUpon = {
    "It Came Upon A Midnight Clear", 6, 8,
    "F4:1 |"
    " D5:2 C5:1 C5:1 Bb4:1 G4:1 | F4:2 G4:1 F4:2 F4:1 | G4:1 A4:1 Bb4:1 Bb4:1 C5:1 D5:1 | C5:5 F4:1 |"
    " D5:2 A4:1 C5:1 Bb4:1 G4:1 | F4:2 G4:1 F4:2 F4:1 | G4:2 G4:1 A4:1 G4:1 F4:1 | Bb4:5 D5:1 |"
    // "Peace on the earth, good will to men"
    " D5:2 D4:1 D4:1 E4:1 F#4:1 | G4:2 A4:1 Bb4:2 D5:1 | C5:1 Bb4:1 A4:1 G4:1 A4:1 G4:1 | F4:5 F4:1 |"
    " D5:2 A4:1 C5:1 Bb4:1 G4:1 | F4:2 G4:1 F4:2 F4:1 | G4:2 G4:1 A4:1 G4:1 F4:1 | Bb4:5",
    "Bb:1 |"
    " Bb:3 Eb:3 | Bb:6 | Eb:3 C7:3 | F:5 F7:1 |"
    " Bb:3 Eb:3 | Bb:6 | Eb:3 F7:3 | Bb:5 D7:1 |"
    " D:3 D7:3 | Gm:3 Bb/D:3 | F/C:3 C7:3 | F:5 F7:1 |"
    " Bb:3 Eb:3 | Bb:6 | Eb:3 F7:3 | Bb:5",
};

// James Lord Pierpont, "One Horse Open Sleigh" (1857); in G.
const Melody kJingleBells = {
    "Jingle Bells", 4, 4,
    "D4:1 B4:1 A4:1 G4:1 | D4:3 D4:1/2 D4:1/2 | D4:1 B4:1 A4:1 G4:1 | E4:4 |"
    " E4:1 C5:1 B4:1 A4:1 | F#4:4 | D5:1 D5:1 C5:1 A4:1 | B4:4 |"
    " D4:1 B4:1 A4:1 G4:1 | D4:4 | D4:1 B4:1 A4:1 G4:1 | E4:3 E4:1 |"
    " E4:1 C5:1 B4:1 A4:1 | D5:1 D5:1 D5:1 D5:1 | E5:1 D5:1 C5:1 A4:1 | G4:3 r:1 |"
    // "Jingle bells, jingle bells"
    " B4:1 B4:1 B4:2 | B4:1 B4:1 B4:2 | B4:1 D5:1 G4:3/2 A4:1/2 | B4:4 |"
    " C5:1 C5:1 C5:3/2 C5:1/2 | C5:1 B4:1 B4:1 B4:1/2 B4:1/2 | B4:1 A4:1 A4:1 B4:1 | A4:2 D5:2 |"
    " B4:1 B4:1 B4:2 | B4:1 B4:1 B4:2 | B4:1 D5:1 G4:3/2 A4:1/2 | B4:4 |"
    " C5:1 C5:1 C5:3/2 C5:1/2 | C5:1 B4:1 B4:1 B4:1/2 B4:1/2 | D5:1 D5:1 C5:1 A4:1 | G4:4",
    "G:4 | G:4 | G:4 | C:4 |"
    " C:2 Am:2 | D:4 | D7:4 | G:4 |"
    " G:4 | G:4 | G:4 | C:4 |"
    " C:2 Am:2 | D:4 | D7:4 | G:4 |"
    " G:4 | G:4 | G:4 | G:4 |"
    " C:4 | G:4 | A7:4 | D7:4 |"
    " G:4 | G:4 | G:4 | G:4 |"
    " C:4 | G:4 | D7:4 | G:4",
};

// "Antioch", arranged from Handel by Lowell Mason (1839); in D.
const Melody kJoyToTheWorld = {
    "Joy To The World", 2, 4,
    "D5:1 C#5:3/4 B4:1/4 | A4:3/2 G4:1/2 | F#4:1 E4:1 | D4:3/2 A4:1/2 |"
    " B4:3/2 B4:1/2 | C#5:3/2 C#5:1/2 | D5:3/2 D5:1/2 |"
    " D5:1/2 C#5:1/2 B4:1/2 A4:1/2 | A4:3/4 G4:1/4 F#4:1/2 D5:1/2 | D5:1/2 C#5:1/2 B4:1/2 A4:1/2 | A4:3/4 G4:1/4 F#4:1/2 F#4:1/2 |"
    // "And heaven and nature sing"
    " F#4:1/2 F#4:1/2 F#4:1/2 F#4:1/4 G4:1/4 | A4:3/2 G4:1/4 F#4:1/4 | E4:1/2 E4:1/2 E4:1/2 E4:1/4 F#4:1/4 | G4:3/2 F#4:1/4 E4:1/4 |"
    " D4:1/2 D5:1 B4:1/2 | A4:3/4 G4:1/4 F#4:1/2 G4:1/2 | F#4:1 E4:1 | D4:2",
    "D:2 | D:3/2 G:1/2 | D:1 A7:1 | D:2 |"
    " G:2 | A:2 | D:2 |"
    " D:2 | D:1 A7:1 | D:2 | D:1 A7:1 |"
    " D:2 | D:2 | A7:2 | A7:2 |"
    " D:1 G:1 | D:1 A7:1 | D:1 A7:1 | D:2",
};

// Adolphe Adam, "Cantique de Noel" (1847); in C, in 12/8 counted in eighths.
const Melody kOHolyNight = {
    "O Holy Night", 12, 8,
    "E4:3 E4:2 E4:1 |"
    " G4:5 G4:1 A4:2 A4:1 F4:2 A4:1 | C5:6 G4:2 G4:1 E4:2 D4:1 | C4:3 E4:2 F4:1 G4:3 F4:2 D4:1 | C4:6 E4:3 E4:2 E4:1 |"
    " G4:5 G4:1 A4:2 A4:1 F4:2 A4:1 | C5:6 G4:2 G4:1 F#4:2 E4:1 | B4:3 G4:2 A4:1 B4:3 C5:2 B4:1 | E4:8 r:3 G4:1 |"
    // "A thrill of hope, the weary world rejoices"
    " G4:3 A4:3 D4:3 G4:3 | A4:2 G4:1 C5:2 E4:1 A4:3 G4:2 G4:1 | G4:3 A4:3 D4:3 G4:3 | A4:2 G4:1 C5:2 E4:1 G4:6 |"
    // "Fall on your knees"
    " C5:9 B4:2 A4:1 | B4:9 B4:2 B4:1 | C5:8 A4:1 A4:2 A4:1 | C5:6 C5:3 C5:3 |"
    " E5:6 D5:5 G4:1 | C5:9 B4:2 A4:1 | G4:8 G4:1 A4:2 G4:1 | G4:9 C5:3 |"
    " D5:9 G4:3 | E5:9 D5:3 | C5:6 B4:3 C5:2 D5:1 | C5:12",
    "C:6 |"
    " C:6 F:6 | C:6 G7:6 | C:6 G7:6 | C:12 |"
    " C:6 F:6 | Am:6 Em:3 B7:3 | Em:6 B7:6 | Em:6 G7:6 |"
    " C:3 F:3 G:3 C:3 | F:3 C:3 F:3 C:3 | C:3 F:3 G:3 C:3 | F:3 C:3 G7:6 |"
    " Am:12 | Em:12 | Am:6 F:6 | C:6 Am:6 |"
    " C/G:6 G7:6 | C:9 F:3 | C/G:6 G7:3 C:3 | C:9 F:3 |"
    " G:6 G7:6 | C:6 Am:3 G:3 | C/G:6 G7:6 | C:12",
};

// "St. Louis", Lewis Redner (1868); in G.
const Melody kOLittleTown = {
    "O Little Town Of Bethlehem", 4, 4,
    "B4:1 |"
    " B4:1 B4:1 A#4:1 B4:1 | D5:1 C5:1 E4:1 A4:1 | G4:1 F#4:1/2 G4:1/2 A4:1 D4:1 | B4:3 B4:1 |"
    " B4:1 B4:1 E5:1 D5:1 | D5:1 C5:1 E4:1 A4:1 | G4:1 F#4:1/2 G4:1/2 B4:3/2 A4:1/2 | G4:3 B4:1 |"
    " B4:1 B4:1 A4:1 G4:1 | F#4:2 F#4:1 F#4:1 | E4:1 F#4:1 G4:1 A4:1 | B4:3 B4:1 |"
    " B4:1 B4:1 A#4:1 B4:1 | D5:1 C5:1 E4:1 E5:1 | D5:1 G4:1 B4:3/2 A4:1/2 | G4:3",
    "G:1 |"
    " G:4 | C:2 Am:2 | G/D:2 D7:2 | G:4 |"
    " G:2 E7:2 | Am:4 | G/D:2 D7:2 | G:4 |"
    " G:2 D:1 Em:1 | B7:4 | Em:2 C:1 D:1 | B:4 |"
    " G:4 | C:2 Am:2 | G/D:2 D7:2 | G:3",
};

// German folk song, "O Tannenbaum" as set by Ernst Anschuetz (1824); in F.
const Melody kOTannenbaum = {
    "O Tannenbaum", 3, 4,
    "C4:1 |"
    " F4:3/4 F4:1/4 F4:1 G4:1 | A4:3/4 A4:1/4 A4:3/2 A4:1/2 | G4:1/2 A4:1/2 Bb4:1 E4:1 | G4:1 F4:1 C4:1 |"
    " F4:3/4 F4:1/4 F4:1 G4:1 | A4:3/4 A4:1/4 A4:3/2 A4:1/2 | G4:1/2 A4:1/2 Bb4:1 E4:1 | G4:1 F4:3/2 C5:1/2 |"
    " C5:1/2 A4:1/2 D5:3/2 C5:1/2 | C5:1/2 Bb4:1/2 Bb4:3/2 Bb4:1/2 | Bb4:1/2 G4:1/2 C5:3/2 Bb4:1/2 | Bb4:1/2 A4:1/2 A4:1 C4:1 |"
    " F4:3/4 F4:1/4 F4:1 G4:1 | A4:3/4 A4:1/4 A4:3/2 A4:1/2 | G4:1/2 A4:1/2 Bb4:1 E4:1 | G4:1 F4:2",
    "C:1 |"
    " F:3 | F:3 | C7:3 | C7:1 F:2 |"
    " F:3 | F:3 | C7:3 | C7:1 F:2 |"
    " F:1 Bb:2 | C7:3 | C7:3 | F:2 C7:1 |"
    " F:3 | F:3 | C7:3 | C7:1 F:2",
};

// Franz Xaver Gruber, "Stille Nacht" (1818); in C, 6/8 counted in eighths.
const Melody kSilentNight = {
    "Silent Night", 6, 8,
    "G4:3/2 A4:1/2 G4:1 E4:3 | G4:3/2 A4:1/2 G4:1 E4:3 | D5:2 D5:1 B4:3 | C5:2 C5:1 G4:3 |"
    " A4:2 A4:1 C5:3/2 B4:1/2 A4:1 | G4:3/2 A4:1/2 G4:1 E4:3 | A4:2 A4:1 C5:3/2 B4:1/2 A4:1 | G4:3/2 A4:1/2 G4:1 E4:3 |"
    " D5:2 D5:1 F5:3/2 D5:1/2 B4:1 | C5:3 E5:3 | C5:1 G4:1 E4:1 G4:3/2 F4:1/2 D4:1 | C4:6",
    "C:6 | C:6 | G7:6 | C:6 |"
    " F:6 | C:6 | F:6 | C:6 |"
    " G7:6 | C:6 | C:3 G7:3 | C:6",
};

// French, "Noel nouvelet" (15th century), sung to "Sing we now of Christmas"; G dorian.
const Melody kNoelNouvelet = {
    "Sing We Now Of Christmas", 2, 4,
    "G4:1/2 D5:1/2 E5:1/2 C5:1/2 | D5:1 Bb4:1 | C5:1/2 C5:1/4 D5:1/4 Bb4:1/2 A4:1/2 | G4:2 |"
    " G4:1/2 D5:1/2 E5:1/2 C5:1/2 | D5:1 Bb4:1 | C5:1/2 C5:1/4 D5:1/4 Bb4:1/2 A4:1/2 | G4:2 |"
    " Bb4:1 A4:1/2 G4:1/2 | A4:3/2 D4:1/2 | Bb4:1/2 Bb4:1/2 A4:1/2 G4:1/2 | A4:2 |"
    " G4:1/2 D5:1/2 E5:1/2 C5:1/2 | D5:1 Bb4:1 | C5:1/2 C5:1/4 D5:1/4 Bb4:1/2 A4:1/2 | G4:2",
    "Gm:1 C:1 | Gm:2 | F:1 Dm:1 | Gm:2 |"
    " Gm:1 C:1 | Gm:2 | F:1 Dm:1 | Gm:2 |"
    " Gm:1 F:1 | Dm:2 | Gm:1 C:1 | D:2 |"
    " Gm:1 C:1 | Gm:2 | F:1 D:1 | Gm:2",
};

// Tchaikovsky, "Dance of the Sugar Plum Fairy" (1892): the celesta's tune over the
// bass's E, written an octave below where the celesta sounds it.
const Melody kSugarPlum = {
    "Sugar Plum Fairy", 2, 4,
    "r:1/2 G5:1/4 E5:1/4 G5:1/2 F#5:1/2 | D#5:1/2 E5:1/2 D5:1/4 D5:1/4 D5:1/2 | C#5:1/4 C#5:1/4 C#5:1/2 C5:1/4 C5:1/4 C5:1/2 |"
    " B4:1/4 E5:1/4 C5:1/4 E5:1/4 B4:1/2 E4:1/8 D4:1/8 C4:1/8 B3:1/8 | A#3:1/2 G4:1/4 E4:1/4 G4:1/2 F#4:1/2 |"
    " C5:1/2 B4:1/2 G5:1/4 G5:1/4 G5:1/2 | F#5:1/4 F#5:1/4 F#5:1/2 E5:1/4 E5:1/4 E5:1/2 |"
    " D#5:1/4 F#5:1/4 E5:1/4 F#5:1/4 D#5:1/2 B4:1/8 A4:1/8 G4:1/8 F#4:1/8 | E4:1/2 r:3/2",
    "Em:2 | B7:1 Em:1 | A7:1 Am:1 |"
    " Em:1 B7:1 | Em:2 |"
    " Am:1 Em:1 | B7:1 Em:1 |"
    " B7:2 | Em:2",
};

// Gloucestershire wassail, 18th century; in G.
const Melody kWassail = {
    "Wassail Wassail", 3, 4,
    "D4:1 |"
    " G4:1 G4:1 G4:1 | G4:1 A4:1 B4:1 | C5:1 B4:1 A4:1 | B4:1 D5:1 D5:1 |"
    " C5:1 A4:1 A4:1 | A4:1 B4:1 C5:1 | B4:1/2 A4:1/2 G4:1/2 A4:1/2 B4:1 | A4:2 C5:1 |"
    " B4:1/2 A4:1/2 G4:1/2 A4:1/2 B4:1/2 C5:1/2 | D5:2 D5:1/2 C5:1/2 | B4:1 G4:1 B4:1 | A4:2 G4:1/2 A4:1/2 |"
    " B4:2 A4:1/2 B4:1/2 | C5:2 B4:1 | A4:1 G4:1 F#4:1 | G4:2",
    "D:1 |"
    " G:3 | G:3 | C:1 G:1 D:1 | G:3 |"
    " Am:3 | D7:3 | G:3 | D:2 D7:1 |"
    " G:3 | D7:3 | G:3 | D:3 |"
    " G:3 | C:3 | D7:3 | G:2",
};

// "Greensleeves" (16th century), sung to "What child is this"; in E minor, 6/8 in eighths.
const Melody kWhatChild = {
    "What Child Is This", 6, 8,
    "E4:1 |"
    " G4:2 A4:1 B4:3/2 C5:1/2 B4:1 | A4:2 F#4:1 D4:3/2 E4:1/2 F#4:1 | G4:2 E4:1 E4:3/2 D#4:1/2 E4:1 | F#4:2 D#4:1 B3:2 E4:1 |"
    " G4:2 A4:1 B4:3/2 C5:1/2 B4:1 | A4:2 F#4:1 D4:3/2 E4:1/2 F#4:1 | G4:3/2 F#4:1/2 E4:1 D#4:3/2 C#4:1/2 D#4:1 | E4:6 |"
    // "This, this is Christ the King"
    " D5:3 D5:3/2 C#5:1/2 B4:1 | A4:2 F#4:1 D4:3/2 E4:1/2 F#4:1 | G4:2 E4:1 E4:3/2 D#4:1/2 E4:1 | F#4:2 D#4:1 B3:3 |"
    " D5:3 D5:3/2 C#5:1/2 B4:1 | A4:2 F#4:1 D4:3/2 E4:1/2 F#4:1 | G4:3/2 F#4:1/2 E4:1 D#4:3/2 C#4:1/2 D#4:1 | E4:5",
    "N:1 |"
    " Em:6 | D:6 | Em:6 | B7:6 |"
    " Em:6 | D:6 | Em:3 B7:3 | Em:6 |"
    " G:6 | D:6 | Em:6 | B7:6 |"
    " G:6 | D:6 | Em:3 B7:3 | Em:5",
};

// English West Country folk carol; in G.
const Melody kWeWish = {
    "We Wish You A Merry Christmas", 3, 4,
    "D4:1 |"
    " G4:1 G4:1/2 A4:1/2 G4:1/2 F#4:1/2 | E4:1 E4:1 E4:1 | A4:1 A4:1/2 B4:1/2 A4:1/2 G4:1/2 | F#4:1 D4:1 D4:1 |"
    " B4:1 B4:1/2 C5:1/2 B4:1/2 A4:1/2 | G4:1 E4:1 D4:1/2 D4:1/2 | E4:1 A4:1 F#4:1 | G4:2 D4:1 |"
    // "Good tidings we bring"
    " G4:1 G4:1 G4:1 | F#4:2 F#4:1 | G4:1 F#4:1 E4:1 | D4:2 A4:1 |"
    " B4:1 A4:1 G4:1 | D5:1 D4:1 D4:1/2 D4:1/2 | E4:1 A4:1 F#4:1 | G4:2",
    "D:1 |"
    " G:3 | C:3 | A7:3 | D:3 |"
    " B7:3 | Em:3 | C:1 D7:2 | G:3 |"
    " G:3 | D:3 | G:1 D:1 C:1 | D:3 |"
    " G:3 | D7:3 | C:1 D7:2 | G:2",
};

}  // namespace

std::vector<Arrangement> TraditionalB() {
    return {
        // A village choir at walking pace, and a brisker one on the harp in F.
        {"music/HOLLY.MID", {&kHollyAndIvy}, Style::Choir, 96, 0, -1, 3},
        {"music/Hollyivy.mid", {&kHollyAndIvy}, Style::Jig, 132, -2, 46, 3},
        {"music/isaw3shp.mid", {&kThreeShips}, Style::Jig, 240, 0, -1, 2},
        {"music/ITCAME.MID", {&kItCameUpon}, Style::Hymn, 156, 0, -1, 2},
        {"music/jingle.mid", {&kJingleBells}, Style::Bells, 168, 0, -1, 2},
        {"music/joy.mid", {&kJoyToTheWorld}, Style::Hymn, 100, 0, -1, 2},
        {"music/O_holy.mid", {&kOHolyNight}, Style::Ballad, 132, 0, -1, 1},
        {"music/Ohlittle.mid", {&kOLittleTown}, Style::Hymn, 84, -2, -1, 2},
        // The German song on a music box; the English one as a waltz for strings, a tone higher.
        {"music/OTANNES.MID", {&kOTannenbaum}, Style::MusicBox, 96, 0, -1, 2},
        {"music/xmastree.mid", {&kOTannenbaum}, Style::Waltz, 120, 2, 48, 2},
        {"music/silent.mid", {&kSilentNight}, Style::Lullaby, 132, -2, -1, 3},
        {"music/SNGWENOW.MID", {&kNoelNouvelet}, Style::March, 104, 0, 68, 3},
        {"music/SPFAIRY.MID", {&kSugarPlum}, Style::MusicBox, 72, 0, 8, 4},
        {"music/WASSAIL.MID", {&kWassail}, Style::Waltz, 144, 0, -1, 3},
        {"music/WATCHLD2.MID", {&kWhatChild}, Style::Ballad, 150, 0, 24, 2},
        {"music/wewish.mid", {&kWeWish}, Style::Waltz, 150, 0, -1, 2},
        // Three carols that hand on to each other: Jingle Bells ends on G, Joy to the
        // World starts on its D, and ends on the D that picks up We Wish You in G.
        {"music/XMASMED.MID", {&kJingleBells, &kJoyToTheWorld, &kWeWish}, Style::Swing, 150, 0, -1, 1},
    };
}
