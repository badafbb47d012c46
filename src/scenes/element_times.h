// When the elements inside the scenes show: open windows of demo time in
// seconds, strict at both ends like the scene windows. The scenes draw by
// them and the capture tool reads them to find the frames a picture depends
// on; the scene windows themselves are the timeline's.
#pragma once

struct ElementWindow {
    float from; // exclusive
    float to;   // exclusive
};

// Intro slides: "Vormak presents", the title, the disco floor.
constexpr ElementWindow presentsSlide{2.0f, 6.0f};
constexpr ElementWindow titleSlide{6.0f, 10.0f};
constexpr ElementWindow discoSlide{10.0f, 14.0f};

// Monster introduction: the claw set, then the corv set, overlapping by a second.
constexpr ElementWindow clawSet{23.0f, 35.0f};
constexpr ElementWindow corvSet{34.0f, 44.0f};

// Attacks and winner, inside the battle's end; then the credits.
constexpr ElementWindow battleEnd{55.0f, 65.0f};
constexpr ElementWindow lynAttack{55.0f, 60.0f};
constexpr ElementWindow powHit{59.0f, 63.0f};
constexpr ElementWindow saksAttack{56.5f, 61.0f};
constexpr ElementWindow dodgeMove{59.0f, 63.0f};
constexpr ElementWindow winnerShown{63.0f, 65.0f};
constexpr ElementWindow credits{80.0f, 90.0f};

// Every element window, for the capture tool.
inline constexpr ElementWindow elementWindows[] = {
    presentsSlide, titleSlide, discoSlide, clawSet,   corvSet,     battleEnd,
    lynAttack,     powHit,     saksAttack, dodgeMove, winnerShown, credits,
};
