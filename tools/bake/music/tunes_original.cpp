// Original tunes for the titles whose melodies are not ours to use.
//
// None of these quotes or paraphrases the song its title names: each is a new
// melody written for the mood the title suggests (a swing number, a ballad, a
// march), with a verse and a refrain or an AABA form, and harmony that moves by
// ii-V-I, secondary dominants and the like, so the arranger has something to
// voice. Repeated phrases are written out in full so every bar reads on its own.
#include "tools/bake/music/carol.h"

namespace {

// I Wonder As I Wander.
// A lullaby in D dorian that wanders down from the fifth and home again; the middle
// strain borrows the aeolian B flat and rests on the dominant's major chord.
const Melody kWonder = {
    "I Wonder As I Wander", 3, 4,
    " A4:2 G4:1 | F4:1 E4:1 D4:1 | E4:1 F4:1 G4:1 | A4:3 |"
    " C5:2 A4:1 | B4:1 G4:1 E4:1 | F4:2 E4:1 | D4:3 |"
    " A4:2 G4:1 | F4:1 E4:1 D4:1 | C4:1 D4:1 F4:1 | G4:3 |"
    " A4:2 C5:1 | D5:1 C5:1 A4:1 | G4:1 E4:1 F4:1 | D4:3 |"
    // The middle strain
    " F4:1 A4:1 C5:1 | D5:2 C5:1 | Bb4:1 A4:1 G4:1 | A4:3 |"
    " F4:1 A4:1 C5:1 | E5:2 D5:1 | C5:1 A4:1 G4:1 | A4:3 |"
    " A4:2 G4:1 | F4:1 E4:1 D4:1 | E4:1 F4:1 G4:1 | A4:3 |"
    " C5:2 B4:1 | A4:1 G4:1 E4:1 | E4:2 C#4:1 | D4:3",
    " Dm:3 | Dm:3 | C:3 | Am:3 |"
    " F:3 | Em:3 | Dm:2 A:1 | Dm:3 |"
    " Dm:3 | Dm:3 | C:3 | G:3 |"
    " F:3 | Dm:3 | C:2 Dm:1 | Dm:3 |"
    " F:3 | Bb:2 F:1 | Gm:3 | A:3 |"
    " F:3 | Am:2 Dm:1 | Am:1 F:1 C:1 | A:3 |"
    " Dm:3 | Dm:3 | C:3 | Am:3 |"
    " F:2 G:1 | Am:1 Em:1 C:1 | A7:3 | Dm:3",
};

// It's Beginning To Look A Lot Like Christmas.
// Swing in G, AABA: each two-bar phrase climbs from a rest and settles on a held
// note over ii-V; the bridge goes to C and comes home through D7.
const Melody kBeginning = {
    "It's Beginning To Look A Lot Like Christmas", 4, 4,
    " r:1/2 D4:1/2 E4:1/2 G4:1/2 B4:1 A4:1 | G4:1/2 A4:1 B4:5/2 |"
    " r:1/2 B4:1/2 C5:1/2 D5:1/2 E5:1 D5:1 | B4:1/2 C5:1 A4:5/2 |"
    " r:1/2 A4:1/2 B4:1/2 C5:1/2 D5:1 C5:1 | A4:1/2 B4:1 G4:5/2 | E4:1 G4:1 A4:1/2 B4:1 A4:1/2 | G4:3 r:1 |"
    " r:1/2 D4:1/2 E4:1/2 G4:1/2 B4:1 A4:1 | G4:1/2 A4:1 B4:5/2 |"
    " r:1/2 B4:1/2 C5:1/2 D5:1/2 E5:1 D5:1 | B4:1/2 C5:1 A4:5/2 |"
    " r:1/2 A4:1/2 B4:1/2 C5:1/2 D5:1 C5:1 | A4:1/2 B4:1 G4:5/2 | E4:1 G4:1 A4:1/2 G4:1 E4:1/2 | G4:3 r:1 |"
    // The bridge
    " r:1/2 G4:1/2 C5:1/2 E5:1/2 G5:1 E5:1 | D5:1/2 E5:1 C5:5/2 |"
    " r:1/2 A4:1/2 D5:1/2 F5:1/2 A5:1 F5:1 | E5:1/2 F5:1 D5:5/2 |"
    " r:1/2 G4:1/2 C5:1/2 E5:1/2 G5:1 E5:1 | D5:1/2 E5:1 F#5:5/2 | A5:1 G5:1 F#5:1 E5:1 | D5:3 r:1 |"
    " r:1/2 D4:1/2 E4:1/2 G4:1/2 B4:1 A4:1 | G4:1/2 A4:1 B4:5/2 |"
    " r:1/2 B4:1/2 C5:1/2 D5:1/2 E5:1 D5:1 | B4:1/2 C5:1 A4:5/2 |"
    " r:1/2 A4:1/2 B4:1/2 C5:1/2 D5:1 C5:1 | A4:1/2 B4:1 G4:5/2 | E4:1/2 G4:1 A4:1/2 B4:1 D5:1 | G4:4",
    " Gmaj7:2 Em7:2 | Am7:2 D7:2 | Gmaj7:2 E7:2 | Am7:2 D7:2 |"
    " Am7:2 D7:2 | Bm7:2 Em7:2 | Am7:2 D7:2 | G:2 D7:2 |"
    " Gmaj7:2 Em7:2 | Am7:2 D7:2 | Gmaj7:2 E7:2 | Am7:2 D7:2 |"
    " Am7:2 D7:2 | Bm7:2 Em7:2 | Am7:2 D7:2 | G:4 |"
    " Cmaj7:4 | Am7:4 | Dm7:4 | G7:4 |"
    " Cmaj7:2 A7:2 | D7:4 | Am7:2 D7:2 | D7:4 |"
    " Gmaj7:2 Em7:2 | Am7:2 D7:2 | Gmaj7:2 E7:2 | Am7:2 D7:2 |"
    " Am7:2 D7:2 | Bm7:2 Em7:2 | Am7:2 D7:2 | G:4",
};

// Christmas Song.
// A slow ballad in E flat, AABA: a rising line answered by a sigh, over ii-V-I with
// the bridge in A flat.
const Melody kChristmasSong = {
    "Christmas Song", 4, 4,
    " G4:1 Bb4:1 C5:1 D5:1 | Eb5:2 D5:1 Bb4:1 | C5:3 r:1 | r:1 Bb4:1 Ab4:1 G4:1 |"
    " F4:1 Ab4:1 Bb4:1 C5:1 | D5:2 C5:1 Ab4:1 | Bb4:3 G4:1 | F4:4 |"
    " G4:1 Bb4:1 C5:1 D5:1 | Eb5:2 D5:1 Bb4:1 | C5:3 r:1 | r:1 Bb4:1 C5:1 D5:1 |"
    " F4:1 Ab4:1 Bb4:1 C5:1 | D5:2 C5:1 Ab4:1 | Bb4:1 Ab4:1 G4:1 F4:1 | Eb4:4 |"
    // The bridge
    " C5:1 Eb5:1 G5:1 F5:1 | Eb5:3 C5:1 | Bb4:1 D5:1 F5:1 Eb5:1 | D5:3 Bb4:1 |"
    " C5:1 Eb5:1 G5:1 F5:1 | Eb5:2 Db5:1 C5:1 | Bb4:2 C5:1 D5:1 | F5:3 r:1 |"
    " G4:1 Bb4:1 C5:1 D5:1 | Eb5:2 D5:1 Bb4:1 | C5:3 r:1 | r:1 Bb4:1 Ab4:1 G4:1 |"
    " F4:1 Ab4:1 Bb4:1 C5:1 | D5:2 C5:1 Ab4:1 | Bb4:1 C5:1 Ab4:1 F4:1 | Eb4:4",
    " Ebmaj7:2 Cm7:2 | Fm7:2 Bb7:2 | Abmaj7:4 | Gm7:2 C7:2 |"
    " Fm7:2 Bb7:2 | Bb7:2 Fm7:2 | Ebmaj7:2 Cm7:2 | Fm7:2 Bb7:2 |"
    " Ebmaj7:2 Cm7:2 | Fm7:2 Bb7:2 | Abmaj7:4 | Gm7:2 C7:2 |"
    " Fm7:2 Bb7:2 | Bb7:2 Fm7:2 | Fm7:2 Bb7:2 | Ebmaj7:2 Eb7:2 |"
    " Abmaj7:4 | Abmaj7:2 Fm7:2 | Gm7:2 C7:2 | Bb7:4 |"
    " Abmaj7:2 Fm7:2 | Cm7:2 Eb7:2 | Abmaj7:2 Bb7:2 | Bb7:4 |"
    " Ebmaj7:2 Cm7:2 | Fm7:2 Bb7:2 | Abmaj7:4 | Gm7:2 C7:2 |"
    " Fm7:2 Bb7:2 | Bb7:2 Fm7:2 | Fm7:2 Bb7:2 | Ebmaj7:4",
};

// Little Drummer Boy.
// A march in D minor with dotted steps for the drum to answer; the refrain turns to
// F major and climbs before the verse's cadence brings it back.
const Melody kDrummer = {
    "Little Drummer Boy", 4, 4,
    " D4:1 D4:1/2 E4:1/2 F4:1 A4:1 | G4:3/2 F4:1/2 E4:2 |"
    " F4:1 F4:1/2 G4:1/2 A4:1 C5:1 | Bb4:3/2 A4:1/2 G4:2 |"
    " A4:1 A4:1/2 Bb4:1/2 C5:1 D5:1 | C5:3/2 Bb4:1/2 A4:2 | G4:1 A4:1/2 G4:1/2 F4:1 E4:1 | D4:4 |"
    " D4:1 D4:1/2 E4:1/2 F4:1 A4:1 | G4:3/2 F4:1/2 E4:2 |"
    " F4:1 A4:1/2 C5:1/2 D5:1 F5:1 | E5:3/2 D5:1/2 C5:2 |"
    " Bb4:1 Bb4:1/2 C5:1/2 D5:1 Bb4:1 | A4:1 A4:1/2 Bb4:1/2 C5:1 A4:1 |"
    " G4:1 Bb4:1/2 A4:1/2 G4:1 E4:1 | D4:3 r:1 |"
    // The refrain
    " C5:3/2 C5:1/2 D5:1 C5:1 | A4:3/2 F4:1/2 C5:2 | Bb4:3/2 Bb4:1/2 C5:1 Bb4:1 | G4:3/2 E4:1/2 C5:2 |"
    " A4:3/2 A4:1/2 Bb4:1 C5:1 | D5:3/2 C5:1/2 Bb4:2 | A4:1 G4:1 F4:1 E4:1 | F4:3 r:1 |"
    " D5:3/2 D5:1/2 E5:1 F5:1 | E5:3/2 D5:1/2 C5:2 | Bb4:3/2 Bb4:1/2 C5:1 D5:1 | C5:3/2 A4:1/2 F4:2 |"
    " G4:3/2 G4:1/2 A4:1 Bb4:1 | A4:3/2 F4:1/2 D4:2 | E4:1 G4:1 F4:1 E4:1 | D4:4",
    " Dm:4 | C:2 A7:2 | F:4 | Gm:2 C7:2 |"
    " F:2 Bb:2 | C7:2 F:2 | Gm:2 A7:2 | Dm:4 |"
    " Dm:4 | C:2 A7:2 | F:2 Dm:2 | C:4 |"
    " Bb:4 | F:4 | Gm:2 A7:2 | Dm:4 |"
    " F:2 Bb:2 | F:4 | Gm:2 C7:2 | C7:4 |"
    " F:4 | Bb:4 | F:2 C7:2 | F:4 |"
    " Dm:2 Bb:2 | C:4 | Gm:2 Bb:2 | F:4 |"
    " Gm:4 | Dm:4 | C:2 A7:2 | Dm:4",
};

// Frosty The Snowman.
// A bouncy two-beat tune: the verse skips down and up in C, the refrain lands in F
// and ends there, so a second verse sets off again from the dominant.
const Melody kFrosty = {
    "Frosty The Snowman", 4, 4,
    " C5:1/2 A4:1/2 G4:1 E4:1 G4:1 | F4:1/2 E4:1/2 D4:1 G4:2 |"
    " B4:1/2 A4:1/2 G4:1 D4:1 F4:1 | E4:1/2 F4:1/2 G4:1 C5:2 |"
    " C5:1/2 A4:1/2 G4:1 E4:1 G4:1 | F4:1/2 E4:1/2 D4:1 A4:2 | D5:1/2 C5:1/2 B4:1 A4:1 B4:1 | G4:3 r:1 |"
    " C5:1/2 A4:1/2 G4:1 E4:1 G4:1 | F4:1/2 E4:1/2 D4:1 G4:2 |"
    " B4:1/2 A4:1/2 G4:1 D4:1 F4:1 | E4:1/2 F4:1/2 G4:1 C5:2 |"
    " A4:1/2 B4:1/2 C5:1 A4:1 F4:1 | G4:1/2 A4:1/2 B4:1 G4:1 E4:1 |"
    " F4:1/2 G4:1/2 A4:1 D4:1 B4:1 | C5:3 r:1 |"
    // The refrain
    " F4:1 A4:1 C5:1/2 D5:1/2 C5:1 | A4:1 F4:1 C4:2 | G4:1 Bb4:1 D5:1/2 E5:1/2 D5:1 | Bb4:1 G4:1 E4:2 |"
    " A4:1 C5:1 F5:1/2 E5:1/2 D5:1 | C5:1 A4:1 F4:2 | G4:1/2 G4:1/2 A4:1 Bb4:1 B4:1 | C5:3 r:1 |"
    " F4:1 A4:1 C5:1/2 D5:1/2 C5:1 | A4:1 F4:1 D5:2 | D5:1/2 D5:1/2 C5:1 Bb4:1 A4:1 | G4:2 E4:2 |"
    " F4:1/2 G4:1/2 A4:1 C5:1/2 D5:1/2 E5:1 | F5:2 D5:2 | C5:1 A4:1 G4:1 E4:1 | F4:3 r:1",
    " C:4 | Dm7:2 G7:2 | G7:4 | C:4 |"
    " C:2 A7:2 | Dm:4 | G:4 | G7:4 |"
    " C:4 | Dm7:2 G7:2 | G7:4 | C:4 |"
    " F:4 | Em:4 | Dm7:2 G7:2 | C:2 C7:2 |"
    " F:4 | F:4 | C7:4 | C7:4 |"
    " F:2 Dm:2 | F:4 | C7:2 G7:2 | C7:4 |"
    " F:4 | Bb:4 | Bb:2 F:2 | C7:4 |"
    " F:2 C7:2 | Dm:2 Bb:2 | C7:4 | F:4",
};

// Have Yourself A Merry Little Christmas.
// A tender ballad in C, AABA: every phrase opens with a leaning sigh from the
// third; the bridge visits F and A minor before a dominant brings the sigh back.
const Melody kHaveYourself = {
    "Have Yourself A Merry Little Christmas", 4, 4,
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3 G4:1 | C5:3/2 B4:1/2 A4:1 G4:1 | F4:3 E4:1 |"
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3/2 B4:1/2 C5:1 D5:1 | E5:2 D5:1 C5:1 | C5:4 |"
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3 G4:1 | C5:3/2 B4:1/2 A4:1 G4:1 | F4:3 E4:1 |"
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3/2 B4:1/2 C5:1 D5:1 | E5:1 F5:1 D5:1 B4:1 | C5:4 |"
    // The bridge
    " A4:1 C5:1 F5:2 | E5:3/2 D5:1/2 C5:2 | D5:1 F5:1 A5:2 | G5:3/2 F5:1/2 E5:2 |"
    " A4:1 C5:1 E5:2 | D5:3/2 C5:1/2 B4:2 | C5:1 B4:1 A4:1 G#4:1 | B4:3 r:1 |"
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3 G4:1 | C5:3/2 B4:1/2 A4:1 G4:1 | F4:3 E4:1 |"
    " E5:3/2 D5:1/2 C5:1 B4:1 | A4:3/2 B4:1/2 C5:1 A4:1 | G4:2 D5:1 B4:1 | C5:4",
    " Fmaj7:2 Em7:2 | Am7:2 Dm7:1 G7:1 | Cmaj7:2 A7:2 | Dm7:2 G7:2 |"
    " Fmaj7:2 Em7:2 | Am7:2 D7:2 | Dm7:2 G7:2 | Cmaj7:4 |"
    " Fmaj7:2 Em7:2 | Am7:2 Dm7:1 G7:1 | Cmaj7:2 A7:2 | Dm7:2 G7:2 |"
    " Fmaj7:2 Em7:2 | Am7:2 D7:2 | Dm7:2 G7:2 | C:2 C7:2 |"
    " Fmaj7:4 | Em7:2 Am7:2 | Dm7:4 | G7:2 Cmaj7:2 |"
    " Am:2 Fmaj7:2 | Bm7b5:2 E7:2 | Am:2 E7:2 | E7:2 G7:2 |"
    " Fmaj7:2 Em7:2 | Am7:2 Dm7:1 G7:1 | Cmaj7:2 A7:2 | Dm7:2 G7:2 |"
    " Fmaj7:2 Em7:2 | Fmaj7:2 Dm7:2 | C/G:2 G7:2 | Cmaj7:4",
};

// Do You See What I See.
// A slow anthem in D that builds: each verse phrase starts a step higher than the
// last, and the refrain takes the same rise up an octave.
const Melody kSeeWhatISee = {
    "Do You See What I See", 4, 4,
    " D4:2 F#4:1 A4:1 | B4:3 A4:1 | G4:2 F#4:1 E4:1 | F#4:3 r:1 |"
    " E4:2 G4:1 B4:1 | C#5:3 B4:1 | A4:2 G4:1 E4:1 | A4:3 r:1 |"
    " F#4:2 A4:1 D5:1 | E5:3 D5:1 | B4:2 A4:1 G4:1 | A4:3 r:1 |"
    " B4:2 D5:1 G5:1 | F#5:3 E5:1 | D5:2 C#5:1 B4:1 | A4:4 |"
    // The refrain
    " D5:3/2 D5:1/2 F#5:1 A5:1 | G5:2 F#5:1 E5:1 | F#5:3/2 E5:1/2 D5:1 B4:1 | A4:4 |"
    " D5:3/2 D5:1/2 F#5:1 A5:1 | B5:2 A5:1 G5:1 | F#5:3/2 G5:1/2 A5:1 F#5:1 | E5:4 |"
    " F#5:3/2 E5:1/2 D5:1 B4:1 | G5:3/2 F#5:1/2 E5:1 C#5:1 | D5:3/2 E5:1/2 F#5:1 D5:1 | E5:3 r:1 |"
    " A5:3/2 G5:1/2 F#5:1 E5:1 | D5:3/2 E5:1/2 F#5:1 G5:1 | A5:2 G5:1 E5:1 | D5:4",
    " D:4 | G:3 D:1 | Em:2 A7:2 | D:4 |"
    " Em:4 | A:4 | D:2 A7:2 | A7:4 |"
    " D:4 | A:3 Bm:1 | G:2 Em:2 | A7:4 |"
    " G:4 | Bm:3 A:1 | G:2 A7:2 | A7:4 |"
    " D:4 | G:2 A:2 | Bm:4 | G:2 A7:2 |"
    " D:2 D7:2 | G:3 A7:1 | Bm:2 D:2 | A:4 |"
    " Bm:4 | Em:2 A7:2 | D:2 Bm:2 | Em:2 A7:2 |"
    " D:3 A:1 | Bm:2 G:2 | D/A:2 A7:2 | D:4",
};

// Here Comes Santa Claus.
// A jaunty march in F: a leaping dotted motif stated on the tonic and answered on
// the dominant; the refrain marches down from the top F.
const Melody kHereComesSanta = {
    "Here Comes Santa Claus", 4, 4,
    " C5:1 A4:1/2 C5:1/2 F5:1 C5:1 | D5:3/2 C5:1/2 A4:2 |"
    " Bb4:1 G4:1/2 Bb4:1/2 E5:1 Bb4:1 | C5:3/2 Bb4:1/2 A4:2 |"
    " A4:1 F4:1/2 A4:1/2 D5:1 A4:1 | Bb4:3/2 A4:1/2 G4:2 |"
    " E4:1/2 F4:1/2 G4:1/2 A4:1/2 Bb4:1 G4:1 | F4:3 r:1 |"
    " C5:1 A4:1/2 C5:1/2 F5:1 C5:1 | D5:3/2 C5:1/2 A4:2 |"
    " Bb4:1 G4:1/2 Bb4:1/2 E5:1 Bb4:1 | C5:3/2 Bb4:1/2 A4:2 |"
    " A4:1 F4:1/2 A4:1/2 D5:1 F5:1 | E5:3/2 D5:1/2 C5:2 |"
    " D5:1/2 C5:1/2 B4:1/2 C5:1/2 D5:1 E5:1 | C5:3 r:1 |"
    // The refrain
    " F5:3/2 E5:1/2 D5:1 C5:1 | A4:1 C5:1 F4:2 | G4:3/2 A4:1/2 Bb4:1 D5:1 | C5:3 r:1 |"
    " F5:3/2 E5:1/2 D5:1 C5:1 | A4:1 C5:1 F5:2 | E5:3/2 D5:1/2 C5:1 Bb4:1 | A4:3 r:1 |"
    " D5:1 D5:1/2 E5:1/2 F5:1 D5:1 | C5:1 C5:1/2 D5:1/2 E5:1 C5:1 |"
    " Bb4:1 Bb4:1/2 C5:1/2 D5:1 Bb4:1 | A4:1 A4:1/2 Bb4:1/2 C5:1 A4:1 |"
    " G4:1/2 A4:1/2 Bb4:1/2 B4:1/2 C5:1 F5:1 | E5:3/2 D5:1/2 C5:2 | D5:1 Bb4:1 G4:1 E4:1 | F4:3 r:1",
    " F:4 | Bb:2 F:2 | C7:4 | F:4 |"
    " Dm:4 | Gm:2 C7:2 | C7:4 | F:4 |"
    " F:4 | Bb:2 F:2 | C7:4 | F:4 |"
    " Dm:4 | C:4 | G7:4 | C7:4 |"
    " Bb:2 F:2 | F:4 | Gm:4 | C7:4 |"
    " Bb:2 F:2 | F:2 Dm:2 | C7:4 | F:4 |"
    " Bb:4 | F:2 C7:2 | Gm:4 | F:4 |"
    " C7:4 | C7:4 | Gm:2 C7:2 | F:4",
};

// Holly Jolly Christmas.
// Country swing in D on the major pentatonic, with a bluesy C natural in the refrain
// and syncopated pushes across the beat.
const Melody kHollyJolly = {
    "Holly Jolly Christmas", 4, 4,
    " F#4:1/2 A4:1/2 B4:1 A4:1 F#4:1 | E4:1/2 F#4:1/2 A4:1 D5:2 |"
    " B4:1/2 D5:1/2 E5:1 D5:1 B4:1 | A4:1/2 B4:1/2 A4:1 F#4:2 |"
    " F#4:1/2 A4:1/2 B4:1 A4:1 F#4:1 | E4:1/2 F#4:1/2 G4:1 B4:2 |"
    " A4:1/2 B4:1/2 C#5:1 E5:1 C#5:1 | D5:3 r:1 |"
    " F#4:1/2 A4:1/2 B4:1 A4:1 F#4:1 | E4:1/2 F#4:1/2 A4:1 D5:2 |"
    " B4:1/2 D5:1/2 E5:1 D5:1 B4:1 | A4:1/2 B4:1/2 A4:1 F#4:2 |"
    " D5:1/2 E5:1/2 F#5:1 E5:1 D5:1 | B4:1/2 C#5:1/2 D5:1 C#5:1 B4:1 |"
    " A4:1/2 F#4:1/2 E4:1 G4:1 C#4:1 | D4:3 r:1 |"
    // The refrain
    " G4:1/2 B4:1/2 D5:1/2 E5:1 D5:1/2 B4:1 | A4:1/2 B4:1/2 A4:1/2 F#4:1 D4:1/2 E4:1 |"
    " F#4:1/2 A4:1/2 D5:1/2 E5:1 D5:1/2 B4:1 | A4:3 r:1 |"
    " G4:1/2 B4:1/2 D5:1/2 E5:1 D5:1/2 B4:1 | A4:1/2 B4:1/2 A4:1/2 F#4:1 D5:1/2 E5:1 |"
    " F#5:1/2 E5:1/2 D5:1/2 B4:1 A4:1/2 F#4:1 | D5:3 r:1 |"
    " B4:1 B4:1/2 C5:1/2 B4:1 G4:1 | A4:1 A4:1/2 B4:1/2 A4:1 F#4:1 |"
    " G4:1/2 A4:1/2 B4:1 E5:1 D5:1 | C#5:3 r:1 |"
    " D5:1/2 C#5:1/2 B4:1/2 A4:1/2 B4:1 D5:1 | F#5:3/2 E5:1/2 D5:2 |"
    " E5:1/2 F#5:1/2 E5:1/2 C#5:1/2 A4:1 C#5:1 | D5:4",
    " D:4 | A7:2 D:2 | G:4 | D:4 |"
    " D:2 B7:2 | Em:4 | A7:4 | D:2 A7:2 |"
    " D:4 | A7:2 D:2 | G:4 | D:4 |"
    " D:2 G:2 | Em7:2 A7:2 | A7:4 | D:4 |"
    " G:4 | D:3 A7:1 | Bm:2 G:2 | A7:4 |"
    " G:4 | D:2 Bm:2 | Em7:2 A7:2 | D:4 |"
    " G7:4 | D:4 | Em:2 G:2 | A7:4 |"
    " Bm:2 G:2 | D:2 Bm:2 | Em7:2 A7:2 | D:4",
};

// I Saw Mummy Kissing Santa Claus.
// Cheeky swing in C, AABA: a line that slides down by semitones, creeps back up
// chromatically and winks with a rest before the answer; the bridge goes to F
// and back round the cycle of fifths.
const Melody kMummyKissing = {
    "I Saw Mummy Kissing Santa Claus", 4, 4,
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 E4:1 | D4:1/2 D#4:1/2 E4:1/2 A4:1 G4:1/2 E4:1 |"
    " D4:1/2 E4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 | G4:2 r:1/2 B3:1/2 D4:1/2 F4:1/2 |"
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 C5:1 | A4:1/2 G4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 |"
    " E4:1/2 G4:1/2 C5:1/2 A4:1 G4:1/2 D4:1 | C4:3 r:1 |"
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 E4:1 | D4:1/2 D#4:1/2 E4:1/2 A4:1 G4:1/2 E4:1 |"
    " D4:1/2 E4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 | G4:2 r:1/2 B3:1/2 D4:1/2 F4:1/2 |"
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 C5:1 | A4:1/2 G4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 |"
    " E4:1/2 G4:1/2 C5:1/2 B4:1 G4:1/2 D5:1 | C5:3 r:1 |"
    // The bridge
    " A4:1/2 C5:1/2 A4:1/2 F4:1 A4:1/2 C5:1 | Bb4:1/2 A4:1/2 G#4:1/2 A4:1 F4:1/2 C4:1 |"
    " G4:1/2 Bb4:1/2 G4:1/2 E4:1 G4:1/2 Bb4:1 | A4:2 r:1 C4:1 |"
    " D4:1/2 F4:1/2 A4:1/2 D5:1 C5:1/2 A4:1 | B4:1/2 A4:1/2 G4:1/2 B4:1 D5:1/2 F5:1 |"
    " E5:1/2 D5:1/2 C5:1/2 A4:1 G4:1/2 E4:1 | D4:1/2 E4:1/2 F4:1/2 G4:1 B3:1/2 D4:1 |"
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 E4:1 | D4:1/2 D#4:1/2 E4:1/2 A4:1 G4:1/2 E4:1 |"
    " D4:1/2 E4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 | G4:2 r:1/2 B3:1/2 D4:1/2 F4:1/2 |"
    " C5:1/2 B4:1/2 Bb4:1/2 A4:1 G4:1/2 C5:1 | A4:1/2 G4:1/2 F4:1/2 A4:1 F4:1/2 D4:1 |"
    " E4:1/2 G4:1/2 C5:1/2 A4:1 G4:1/2 D4:1 | C4:2 r:1/2 G3:1/2 C4:1",
    " C6:4 | C6:2 A7:2 | Dm7:4 | G7:4 |"
    " C:2 C7:2 | F:2 Fm6:2 | C:2 G7:2 | C:2 G7:2 |"
    " C6:4 | C6:2 A7:2 | Dm7:4 | G7:4 |"
    " C:2 C7:2 | F:2 Fm6:2 | C:2 G7:2 | C:2 C7:2 |"
    " F:4 | F:4 | C7:4 | F:4 |"
    " Dm:2 D7:2 | G7:4 | C:2 A7:2 | Dm7:2 G7:2 |"
    " C6:4 | C6:2 A7:2 | Dm7:4 | G7:4 |"
    " C:2 C7:2 | F:2 Fm6:2 | C:2 G7:2 | C:4",
};

// Jingle Bell Rock.
// Rock and roll in A: a twelve-bar blues with a flattened third, a doo-wop refrain
// on I-vi-IV-V, then the blues again.
const Melody kJingleBellRock = {
    "Jingle Bell Rock", 4, 4,
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | C#5:1/2 A4:1/2 C5:1/2 C#5:1/2 A4:2 |"
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | G5:1 E5:1/2 C#5:1/2 A4:2 |"
    " D4:1/2 F#4:1/2 A4:1 A4:1/2 B4:1/2 A4:1 | F#4:1/2 D4:1/2 F4:1/2 F#4:1/2 D4:2 |"
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | C#5:1/2 A4:1/2 C5:1/2 C#5:1/2 A4:2 |"
    " E5:1 E5:1/2 D#5:1/2 E5:1 B4:1 | D5:1 D5:1/2 C#5:1/2 D5:1 A4:1 |"
    " C#5:1/2 E5:1/2 C#5:1/2 A4:1/2 B4:1 G#4:1 | A4:3 r:1 |"
    // The refrain
    " E5:3/2 C#5:1/2 A4:1 C#5:1 | E5:3/2 C#5:1/2 F#5:2 | D5:1 F#5:1 A5:3/2 F#5:1/2 | E5:4 |"
    " E5:3/2 C#5:1/2 A4:1 C#5:1 | E5:3/2 C#5:1/2 F#5:2 | D5:1 F#5:1 E5:3/2 D5:1/2 | C#5:4 |"
    " F#5:1/2 F#5:1/2 F#5:1/2 E5:1/2 D5:1 F#5:1 | E5:1/2 E5:1/2 E5:1/2 D5:1/2 C#5:1 A4:1 |"
    " D5:1/2 D5:1/2 D5:1/2 C#5:1/2 B4:1 D5:1 | C#5:3 r:1 |"
    // The blues again
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | C#5:1/2 A4:1/2 C5:1/2 C#5:1/2 A4:2 |"
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | G5:1 E5:1/2 C#5:1/2 A4:2 |"
    " D4:1/2 F#4:1/2 A4:1 A4:1/2 B4:1/2 A4:1 | F#4:1/2 D4:1/2 F4:1/2 F#4:1/2 D4:2 |"
    " A4:1/2 C#5:1/2 E5:1 E5:1/2 F#5:1/2 E5:1 | C#5:1/2 A4:1/2 C5:1/2 C#5:1/2 A4:2 |"
    " E5:1 E5:1/2 D#5:1/2 E5:1 B4:1 | D5:1 D5:1/2 C#5:1/2 D5:1 A4:1 |"
    " C#5:1/2 E5:1/2 C#5:1/2 A4:1/2 B4:1 G#4:1 | A4:3 r:1",
    " A:4 | A7:4 | A:4 | A7:4 |"
    " D7:4 | D7:4 | A:4 | A7:4 |"
    " E7:4 | D7:4 | A:2 E7:2 | A:2 E7:2 |"
    " A:4 | F#m:4 | D:4 | E7:4 |"
    " A:4 | F#m:4 | D:2 E7:2 | A:4 |"
    " D:4 | A:4 | Bm7:2 E7:2 | A:2 E7:2 |"
    " A:4 | A7:4 | A:4 | A7:4 |"
    " D7:4 | D7:4 | A:4 | A7:4 |"
    " E7:4 | D7:4 | A:2 E7:2 | A:2 E7:2",
};

// Let It Snow.
// Swing in F, AABA: each phrase waits a beat, then tumbles down from the fifth;
// the bridge warms up in B flat.
const Melody kLetItSnow = {
    "Let It Snow", 4, 4,
    " r:1 C5:1/2 D5:1/2 C5:1 A4:1 | G4:3/2 A4:1/2 Bb4:1 G4:1 | A4:3 r:1 | r:1 D5:1/2 E5:1/2 D5:1 Bb4:1 |"
    " A4:3/2 Bb4:1/2 C5:1 A4:1 | G4:3 r:1 | r:1 E4:1/2 F4:1/2 G4:1 C5:1 | A4:3 r:1 |"
    " r:1 C5:1/2 D5:1/2 C5:1 A4:1 | G4:3/2 A4:1/2 Bb4:1 G4:1 | A4:3 r:1 | r:1 D5:1/2 E5:1/2 D5:1 Bb4:1 |"
    " A4:3/2 Bb4:1/2 C5:1 A4:1 | G4:3 r:1 | r:1 E4:1/2 F4:1/2 G4:1 E4:1 | F4:3 r:1 |"
    // The bridge
    " r:1 D5:1/2 F5:1/2 D5:1 Bb4:1 | C5:3/2 D5:1/2 C5:1 A4:1 | Bb4:3 r:1 | r:1 A4:1/2 C5:1/2 A4:1 F4:1 |"
    " G4:3/2 A4:1/2 Bb4:1 D5:1 | C5:3 r:1 | r:1 C5:1/2 D5:1/2 E5:1 G5:1 | F5:2 E5:1 C5:1 |"
    " r:1 C5:1/2 D5:1/2 C5:1 A4:1 | G4:3/2 A4:1/2 Bb4:1 G4:1 | A4:3 r:1 | r:1 D5:1/2 E5:1/2 D5:1 Bb4:1 |"
    " A4:3/2 Bb4:1/2 C5:1 A4:1 | G4:3 r:1 | r:1 E4:1/2 G4:1/2 Bb4:1 E4:1 | F4:4",
    " Fmaj7:2 Dm7:2 | Gm7:2 C7:2 | Fmaj7:2 D7:2 | Gm7:4 |"
    " Am7:2 D7:2 | Gm7:2 C7:2 | C7:4 | F:2 C7:2 |"
    " Fmaj7:2 Dm7:2 | Gm7:2 C7:2 | Fmaj7:2 D7:2 | Gm7:4 |"
    " Am7:2 D7:2 | Gm7:2 C7:2 | Gm7:2 C7:2 | F:2 F7:2 |"
    " Bbmaj7:4 | Cm7:2 F7:2 | Bbmaj7:2 Eb7:2 | Am7:2 D7:2 |"
    " Gm7:4 | C7:4 | Gm7:2 C7:2 | Gm7:2 C7:2 |"
    " Fmaj7:2 Dm7:2 | Gm7:2 C7:2 | Fmaj7:2 D7:2 | Gm7:4 |"
    " Am7:2 D7:2 | Gm7:2 C7:2 | Gm7:2 C7:2 | F:4",
};

// Linus' Song.
// A jazz waltz in E flat for piano: broken-chord phrases that climb by thirds and
// step down, a middle strain in C minor, and ii-V turns at every cadence.
const Melody kLinus = {
    "Linus' Song", 3, 4,
    " G4:1 Bb4:1 Eb5:1 | D5:2 Bb4:1 | C5:1 Eb5:1 Ab5:1 | G5:2 Eb5:1 |"
    " F5:1/2 Eb5:1/2 D5:1 C5:1 | Bb4:2 G4:1 | Ab4:1 C5:1 F4:1 | Bb4:3 |"
    " G4:1 Bb4:1 Eb5:1 | D5:2 Bb4:1 | C5:1 Eb5:1 A5:1 | G5:2 F5:1 |"
    " Eb5:1/2 D5:1/2 C5:1 Bb4:1 | G4:2 Ab4:1 | Bb4:1 G4:1 F4:1 | Eb4:3 |"
    // The middle strain
    " Eb5:1 D5:1 C5:1 | G4:2 Ab4:1 | B4:1 D5:1 F5:1 | Eb5:2 D5:1 |"
    " C5:1 Bb4:1 Ab4:1 | G4:2 F4:1 | Eb4:1 G4:1 C5:1 | D5:3 |"
    " G4:1 Bb4:1 Eb5:1 | D5:2 Bb4:1 | C5:1 Eb5:1 Ab5:1 | G5:2 Eb5:1 |"
    " F5:1 Ab5:1 G5:1/2 F5:1/2 | Eb5:2 C5:1 | Bb4:1 D5:1 F5:1 | Eb5:3",
    " Ebmaj7:3 | Gm7:3 | Abmaj7:3 | Cm7:3 |"
    " Fm7:3 | Gm7:3 | Fm7:3 | Bb7:3 |"
    " Ebmaj7:3 | Gm7:3 | F7:3 | Cm7:2 F7:1 |"
    " Fm7:2 Bb7:1 | Eb:2 Fm7:1 | Bb7:3 | Ebmaj7:3 |"
    " Cm7:3 | Cm7:2 Abmaj7:1 | G7:3 | Cm:2 G7:1 |"
    " Abmaj7:3 | Dm7b5:2 G7:1 | Cm:3 | G7:2 Bb7:1 |"
    " Ebmaj7:3 | Gm7:3 | Abmaj7:3 | Cm7:3 |"
    " Fm7:2 Bb7:1 | Abmaj7:2 Fm7:1 | Bb7:3 | Ebmaj7:3",
};

// Rockin Around The Christmas Tree.
// Rock and roll in G: broken-chord eighths over I-IV-V with a passing diminished
// chord; the refrain stomps on repeated notes.
const Melody kRockinAround = {
    "Rockin Around The Christmas Tree", 4, 4,
    " G4:1/2 B4:1/2 D5:1/2 B4:1/2 E5:1 D5:1 | B4:1/2 A4:1/2 G4:1/2 A4:1/2 B4:2 |"
    " C5:1/2 E5:1/2 G5:1/2 E5:1/2 A5:1 G5:1 | E5:1/2 D5:1/2 C5:1/2 D5:1/2 E5:2 |"
    " D5:1/2 B4:1/2 G4:1/2 B4:1/2 D5:1 B4:1 | E5:1/2 C5:1/2 A4:1/2 C5:1/2 E5:2 |"
    " D5:1 C5:1/2 B4:1/2 A4:1 F#4:1 | G4:3 r:1 |"
    " G4:1/2 B4:1/2 D5:1/2 B4:1/2 E5:1 D5:1 | B4:1/2 A4:1/2 G4:1/2 A4:1/2 B4:2 |"
    " C5:1/2 E5:1/2 G5:1/2 E5:1/2 A5:1 G5:1 | E5:1/2 D5:1/2 C5:1/2 D5:1/2 E5:2 |"
    " D5:1/2 B4:1/2 G4:1/2 B4:1/2 D5:1 B4:1 | E5:1/2 C5:1/2 A4:1/2 C5:1/2 E5:2 |"
    " D5:1 C5:1/2 B4:1/2 A4:1 D4:1 | G4:3 r:1 |"
    // The refrain
    " C5:1 C5:1/2 C5:1/2 E5:1 C5:1 | G4:1 G4:1/2 G4:1/2 B4:1 G4:1 |"
    " A4:1 A4:1/2 A4:1/2 C5:1 E5:1 | D5:3 r:1 |"
    " C5:1 C5:1/2 C5:1/2 E5:1 G5:1 | B4:1 B4:1/2 B4:1/2 D5:1 G5:1 |"
    " A4:1/2 B4:1/2 C5:1/2 A4:1/2 D5:1 F#4:1 | G4:3 r:1 |"
    " E5:1/2 E5:1/2 E5:1/2 D5:1/2 E5:1 G5:1 | D5:1/2 D5:1/2 D5:1/2 B4:1/2 D5:1 G4:1 |"
    " C5:1/2 C5:1/2 C5:1/2 A4:1/2 C5:1 E4:1 | D4:1/2 E4:1/2 F#4:1/2 G4:1/2 A4:1 C5:1 |"
    " B4:1/2 D5:1/2 B4:1/2 G4:1/2 E5:1 D5:1 | C5:1/2 E5:1/2 C5:1/2 A4:1/2 G5:1 E5:1 |"
    " D5:1 C5:1/2 B4:1/2 A4:1 F#4:1 | G4:4",
    " G:4 | G:2 G7:2 | C:4 | C:2 C#dim:2 |"
    " G:4 | Am:4 | D7:4 | G:2 D7:2 |"
    " G:4 | G:2 G7:2 | C:4 | C:2 C#dim:2 |"
    " G:4 | Am:4 | D7:4 | G:2 G7:2 |"
    " C:4 | G:4 | Am:2 A7:2 | D7:4 |"
    " C:4 | G:2 Em:2 | Am7:2 D7:2 | G:4 |"
    " C:4 | G:4 | Am:4 | D7:4 |"
    " G:2 Em:2 | Am:2 C:2 | D7:4 | G:4",
};

// Rudolph The Red Nosed Reindeer.
// A bouncy tune on skipping dotted rhythms: the verse in C leaps a sixth and
// tumbles back, the refrain takes the skip up into F.
const Melody kRudolph = {
    "Rudolph The Red Nosed Reindeer", 4, 4,
    " C5:3/4 A4:1/4 G4:1 E5:3/4 C5:1/4 G4:1 | F4:3/4 A4:1/4 C5:1 D5:2 |"
    " B4:3/4 G4:1/4 D4:1 F4:3/4 B4:1/4 D5:1 | C5:3 r:1 |"
    " C5:3/4 A4:1/4 G4:1 E5:3/4 C5:1/4 G4:1 | A4:3/4 C5:1/4 F5:1 E5:3/4 D5:1/4 C5:1 |"
    " D5:3/4 C5:1/4 B4:1 A4:3/4 G4:1/4 F#4:1 | G4:3 r:1 |"
    " C5:3/4 A4:1/4 G4:1 E5:3/4 C5:1/4 G4:1 | F4:3/4 A4:1/4 C5:1 D5:2 |"
    " B4:3/4 G4:1/4 D4:1 F4:3/4 B4:1/4 D5:1 | C5:3 r:1 |"
    " A4:3/4 B4:1/4 C5:1 A4:1 E4:1 | F4:3/4 G4:1/4 A4:1 F4:1 D4:1 |"
    " G4:3/4 A4:1/4 B4:1 D5:1 F5:1 | E5:3 r:1 |"
    // The refrain
    " F5:2 C5:3/4 A4:1/4 F4:1 | G4:3/4 A4:1/4 Bb4:1 C5:2 | D5:2 Bb4:3/4 G4:1/4 E4:1 | F4:3 r:1 |"
    " A4:3/4 G4:1/4 A4:1 C5:3/4 Bb4:1/4 C5:1 | D5:3/4 C5:1/4 D5:1 F5:2 |"
    " E5:3/4 D5:1/4 C5:1 Bb4:1 G4:1 | A4:3 r:1 |"
    " G4:3/4 A4:1/4 Bb4:1 D5:1 G5:1 | F5:3/4 E5:1/4 D5:1 C5:2 | A4:3/4 Bb4:1/4 C5:1 F5:1 E5:1 | D5:3 r:1 |"
    " C5:3/4 A4:1/4 F4:1 C5:3/4 D5:1/4 E5:1 | F5:3/4 E5:1/4 D5:1 Bb4:2 |"
    " A4:3/4 Bb4:1/4 G4:1 C5:1 E4:1 | F4:3 r:1",
    " C:4 | F:2 G7:2 | G7:4 | C:4 |"
    " C:2 C7:2 | F:2 Am:2 | G:2 D7:2 | G7:4 |"
    " C:4 | F:2 G7:2 | G7:4 | C:4 |"
    " Am:4 | Dm:4 | G7:4 | C:4 |"
    " F:4 | C7:4 | Gm:2 C7:2 | F:4 |"
    " F:4 | Dm:2 Bb:2 | C7:4 | F:2 D7:2 |"
    " Gm:4 | Bb:2 F:2 | F:3 C7:1 | Gm7:2 C7:2 |"
    " F:2 C7:2 | Bb:4 | F:2 C7:2 | F:4",
};

// Santa Claus Is Coming To Town.
// A swinging march in G: the verse steps up from the low D and comes back down;
// the middle strain climbs C-major arpeggios a step at a time before the verse returns.
const Melody kSantaComing = {
    "Santa Claus Is Coming To Town", 4, 4,
    " D4:1 G4:1 G4:1/2 A4:1/2 B4:1 | A4:1 G4:1/2 E4:1/2 D4:2 |"
    " D4:1 A4:1 A4:1/2 B4:1/2 C5:1 | B4:1 A4:1/2 F#4:1/2 G4:2 |"
    " B4:1 D5:1 D5:1/2 E5:1/2 D5:1 | C5:1 A4:1/2 C5:1/2 E5:2 | D5:1 B4:1/2 A4:1/2 G4:1 F#4:1 | G4:3 r:1 |"
    " D4:1 G4:1 G4:1/2 A4:1/2 B4:1 | A4:1 G4:1/2 E4:1/2 D4:2 |"
    " D4:1 A4:1 A4:1/2 B4:1/2 C5:1 | B4:1 A4:1/2 F#4:1/2 G4:2 |"
    " E5:1 E5:1/2 D5:1/2 C5:1 E5:1 | D5:1 D5:1/2 C5:1/2 B4:1 D5:1 |"
    " C5:1 A4:1/2 B4:1/2 C5:1 F#4:1 | G4:3 r:1 |"
    // The middle strain
    " C5:1 E5:1 G5:3/2 E5:1/2 | D5:1 F5:1 A5:3/2 F5:1/2 | E5:1 C5:1 A4:3/2 C5:1/2 | B4:3 r:1 |"
    " A4:1 C5:1 F5:3/2 E5:1/2 | D5:1 E5:1 C5:3/2 G4:1/2 | F4:1 A4:1 D5:1 B4:1 | C5:3 r:1 |"
    " D4:1 G4:1 G4:1/2 A4:1/2 B4:1 | A4:1 G4:1/2 E4:1/2 D4:2 |"
    " D4:1 A4:1 A4:1/2 B4:1/2 C5:1 | B4:1 A4:1/2 F#4:1/2 G4:2 |"
    " B4:1 D5:1 D5:1/2 E5:1/2 D5:1 | C5:1 A4:1/2 C5:1/2 E5:2 | D5:1 B4:1/2 A4:1/2 G4:1 F#4:1 | G4:3 r:1",
    " G:4 | Am7:2 D7:2 | D7:4 | D7:2 G:2 |"
    " G:2 E7:2 | Am:4 | G/D:2 D7:2 | G:4 |"
    " G:4 | Am7:2 D7:2 | D7:4 | D7:2 G:2 |"
    " C:4 | G:4 | Am7:2 D7:2 | G:2 G7:2 |"
    " C:4 | Dm7:2 G7:2 | Am:4 | E7:4 |"
    " F:4 | C:4 | Dm7:2 G7:2 | C:2 D7:2 |"
    " G:4 | Am7:2 D7:2 | D7:4 | D7:2 G:2 |"
    " G:2 E7:2 | Am:4 | D7:4 | G:4",
};

// Silver Bells.
// A waltz in F: the verse turns round the tonic chord in falling figures, and the
// refrain rings out long bell notes, one a bar.
const Melody kSilverBells = {
    "Silver Bells", 3, 4,
    " A4:2 C5:1 | F5:2 E5:1 | D5:1 C5:1 Bb4:1 | A4:3 |"
    " G4:2 Bb4:1 | E5:2 D5:1 | C5:1 Bb4:1 G4:1 | A4:3 |"
    " A4:2 C5:1 | A5:2 G5:1 | F5:1 E5:1 D5:1 | C5:3 |"
    " Bb4:2 D5:1 | G5:2 F5:1 | E5:1 D5:1 E5:1 | F5:3 |"
    // The refrain
    " F5:3 | D5:3 | E5:2 F5:1 | C5:3 |"
    " F5:3 | D5:3 | G5:2 F5:1 | E5:3 |"
    " A5:2 G5:1 | F5:2 D5:1 | E5:2 C5:1 | A4:3 |"
    " Bb4:2 D5:1 | G5:2 E5:1 | A4:1 C5:1 E4:1 | F4:3",
    " F:3 | Fmaj7:3 | Bb:3 | F:3 |"
    " Gm:3 | C7:3 | C7:3 | F:3 |"
    " F:3 | F:2 C:1 | Dm:3 | Am:3 |"
    " Gm:3 | Gm7:3 | C7:3 | F:3 |"
    " Bb:3 | Gm:3 | C7:3 | F:3 |"
    " Dm:3 | Bb:3 | C7:3 | C7:3 |"
    " F:3 | Dm:3 | C7:3 | F:2 D7:1 |"
    " Gm:3 | C7:3 | F:2 C7:1 | F:3",
};

// Sleigh Ride.
// A fast gallop in D: running broken chords for the verse, and a refrain of long
// sweeping notes in G for the bells to ring under.
const Melody kSleighRide = {
    "Sleigh Ride", 4, 4,
    " D5:1/2 A4:1/2 F#4:1/2 A4:1/2 D5:1 E5:1 | F#5:1/2 E5:1/2 D5:1/2 B4:1/2 A4:2 |"
    " G4:1/2 B4:1/2 D5:1/2 B4:1/2 G4:1 A4:1 | B4:1/2 A4:1/2 G4:1/2 E4:1/2 F#4:2 |"
    " D5:1/2 A4:1/2 F#4:1/2 A4:1/2 D5:1 E5:1 | F#5:1/2 G5:1/2 A5:1/2 F#5:1/2 D5:2 |"
    " E5:1/2 D5:1/2 C#5:1/2 B4:1/2 A4:1 G4:1 | F#4:3 r:1 |"
    " D5:1/2 A4:1/2 F#4:1/2 A4:1/2 D5:1 E5:1 | F#5:1/2 E5:1/2 D5:1/2 B4:1/2 A4:2 |"
    " G4:1/2 B4:1/2 D5:1/2 B4:1/2 G4:1 A4:1 | B4:1/2 A4:1/2 G4:1/2 E4:1/2 F#4:2 |"
    " E4:1/2 F#4:1/2 G4:1/2 A4:1/2 B4:1 C#5:1 | D5:1/2 E5:1/2 F#5:1/2 D5:1/2 B4:2 |"
    " G5:1/2 F#5:1/2 E5:1/2 D5:1/2 C#5:1 E5:1 | D5:3 r:1 |"
    // The refrain
    " B4:2 D5:2 | G5:3 F#5:1 | E5:2 C5:2 | A4:4 |"
    " B4:2 D5:2 | G5:3 A5:1 | F#5:2 D5:2 | A5:4 |"
    " B5:2 A5:1 G5:1 | F#5:2 E5:1 D5:1 | E5:2 D5:1 C#5:1 | D5:2 A4:2 |"
    " B4:1/2 C#5:1/2 D5:1/2 E5:1/2 F#5:1 G5:1 | A5:2 F#5:2 |"
    " E5:1/2 F#5:1/2 E5:1/2 D5:1/2 C#5:1 A4:1 | D5:3 r:1",
    " D:4 | Bm:2 D:2 | G:3 A7:1 | Em:2 D:2 |"
    " D:4 | D:4 | A7:4 | D:4 |"
    " D:4 | Bm:2 D:2 | G:3 A7:1 | Em:2 D:2 |"
    " Em7:2 A7:2 | Bm:4 | Em:2 A7:2 | D:4 |"
    " G:4 | G:3 D:1 | C:4 | D7:4 |"
    " G:4 | Em:3 A7:1 | D:4 | A7:4 |"
    " G:4 | D:4 | A7:4 | D:4 |"
    " G:4 | D:4 | A7:4 | D:4",
};

// White Christmas.
// A slow ballad in C, AABA: wide rising arpeggios that each fall back by step, the
// bridge drifting through F and A minor.
const Melody kWhiteChristmas = {
    "White Christmas", 4, 4,
    " G4:1 C5:1 E5:2 | D5:3/2 C5:1/2 A4:2 | G4:1 B4:1 D5:2 | C5:4 |"
    " A4:1 C5:1 F5:2 | E5:3/2 D5:1/2 C5:2 | D5:1 E5:1 F5:1 B4:1 | C5:4 |"
    " G4:1 C5:1 E5:2 | D5:3/2 C5:1/2 A4:2 | G4:1 B4:1 D5:2 | C5:4 |"
    " A4:1 C5:1 F5:2 | E5:3/2 D5:1/2 C5:2 | D5:1 C5:1 B4:1 G4:1 | C5:4 |"
    // The bridge
    " F5:2 E5:1 D5:1 | C5:2 A4:2 | D5:2 C5:1 B4:1 | G4:4 |"
    " A4:1 D5:1 F5:2 | E5:3/2 D5:1/2 C5:2 | B4:1 D5:1 G5:1 F5:1 | E5:2 D5:2 |"
    " G4:1 C5:1 E5:2 | D5:3/2 C5:1/2 A4:2 | G4:1 B4:1 D5:2 | C5:4 |"
    " A4:1 C5:1 F5:2 | E5:3/2 D5:1/2 C5:2 | D5:1 E5:1 D5:1 B4:1 | C5:4",
    " Cmaj7:2 Am7:2 | Dm7:4 | G7:4 | C:2 C7:2 |"
    " Fmaj7:4 | Em7:2 Am7:2 | Dm7:2 G7:2 | C:4 |"
    " Cmaj7:2 Am7:2 | Dm7:4 | G7:4 | C:2 C7:2 |"
    " Fmaj7:4 | Em7:2 Am7:2 | Dm7:2 G7:2 | C:2 C7:2 |"
    " Fmaj7:2 Dm7:2 | Am7:4 | G7:4 | Em7:2 A7:2 |"
    " Dm7:4 | Am7:2 D7:2 | G7:4 | Dm7:2 G7:2 |"
    " Cmaj7:2 Am7:2 | Dm7:4 | G7:4 | C:2 C7:2 |"
    " Fmaj7:4 | Em7:2 Am7:2 | Dm7:2 G7:2 | Cmaj7:4",
};

}  // namespace

std::vector<Arrangement> Originals() {
    return {
        {"music/ASIWANDR.MID", {&kWonder}, Style::Lullaby, 76, 0, 71, 2},
        {"music/begin.mid", {&kBeginning}, Style::Swing, 138, 0, -1, 2},
        {"music/CHESTNUT.MID", {&kChristmasSong}, Style::Ballad, 66, 0, -1, 2},
        // The march twice: softly on the flute in D minor, and up a tone with the brass.
        {"music/drum.mid", {&kDrummer}, Style::March, 96, 0, 73, 2},
        {"music/DRUMMER.MID", {&kDrummer}, Style::March, 108, 2, 61, 2},
        // The snowman's tune as a swing band number and as a bouncy two-step on the bells.
        {"music/FROSTY2.MID", {&kFrosty}, Style::Swing, 152, -2, -1, 2},
        {"music/frosty.mid", {&kFrosty}, Style::Bells, 160, 0, -1, 2},
        {"music/havexmas.mid", {&kHaveYourself}, Style::Ballad, 72, 0, -1, 2},
        {"music/hear.mid", {&kSeeWhatISee}, Style::Choir, 80, 0, -1, 2},
        {"music/herecomessanta2.mid", {&kHereComesSanta}, Style::March, 120, 0, -1, 2},
        {"music/HOLLYJOL.MID", {&kHollyJolly}, Style::Swing, 144, 0, 25, 2},
        {"music/ISMKSC.MID", {&kMummyKissing}, Style::Swing, 128, 5, 66, 2},
        {"music/JBROCK.MID", {&kJingleBellRock}, Style::Rock, 150, 0, -1, 2},
        {"music/letit.mid", {&kLetItSnow}, Style::Swing, 152, 0, -1, 2},
        {"music/LINUS2.MID", {&kLinus}, Style::Waltz, 168, 0, 0, 2},
        {"music/ROCKAPW.MID", {&kRockinAround}, Style::Rock, 160, 0, -1, 2},
        {"music/rudolph.mid", {&kRudolph}, Style::March, 132, 0, -1, 2},
        {"music/santacom.mid", {&kSantaComing}, Style::Swing, 132, 0, -1, 2},
        {"music/silvbell.mid", {&kSilverBells}, Style::Waltz, 156, 0, -1, 2},
        {"music/SLEIGHRD.MID", {&kSleighRide}, Style::Bells, 184, 0, -1, 2},
        {"music/white_xm.mid", {&kWhiteChristmas}, Style::Ballad, 66, 0, -1, 2},
    };
}
