#include "characters/AnimationLibrary.h"

#include "core/ConsoleProblems.h"
#include "core/TextTokens.h"

namespace {

constexpr int kNumbersPerKeyframe = JointCount + 1;

// Reads one record; false at the end of the file or at the first token that is not a
// number of the right kind, which ends the animation there.
bool readKeyframe(TextTokens& tokens, Keyframe& frame) {
    int numbers = 0;
    std::string token;
    for (; numbers < kNumbersPerKeyframe && tokens.next(token); ++numbers) {
        const bool read = numbers < JointCount ? TextTokens::toFloat(token, frame.angles[numbers])
                                               : TextTokens::toInt(token, frame.duration);
        if (!read) {
            const char* const expected = numbers < JointCount ? "a decimal angle" : "a whole duration";
            tokens.report("'" + token + "' is not " + expected + "; the animation ends before it");
            return false;
        }
    }
    if (numbers > 0 && numbers < kNumbersPerKeyframe) {
        tokens.report("the last key frame has only " + std::to_string(numbers) + " of its " +
                      std::to_string(kNumbersPerKeyframe) + " numbers");
    }
    if (numbers < kNumbersPerKeyframe) {
        return false;
    }
    // A negative length would become an endless segment once playback reads it as an
    // unsigned time, leaving the figure stuck in the move for good.
    if (frame.duration < 0) {
        tokens.report("a negative duration lasts no time");
        frame.duration = 0;
    }
    return true;
}

}  // namespace

AnimationLibrary& AnimationLibrary::instance() {
    static AnimationLibrary library;
    return library;
}

bool AnimationLibrary::load(const std::string& file) {
    ConsoleProblems console;
    return load(file, console);
}

bool AnimationLibrary::load(const std::string& file, ProblemSink& problems) {
    TextFile text("animations/" + file, problems);
    if (!text.isOpen()) {
        problems.report({text.path(), 0, "cannot be opened", DataProblem::Console::Err,
                         "Error: Cannot open animation file " + file});
        return false;
    }
    TextTokens tokens(text);
    std::string name;
    tokens.next(name);
    if (animations.count(name) != 0) {
        problems.report({text.path(), tokens.line(), "the name '" + name + "' is taken by an animation loaded earlier",
                         DataProblem::Console::Err, "Warning: An Animation with name " + name + " already exists."});
        return false;
    }
    Animation animation;
    Keyframe frame;
    while (readKeyframe(tokens, frame)) {
        animation.keyframes.push_back(frame);
    }
    if (animation.empty()) {
        text.report(tokens.line(), "'" + name + "' has no complete key frame");
    }
    animations.emplace(name, std::move(animation));
    return true;
}

const Animation* AnimationLibrary::find(const std::string& name) const {
    const auto it = animations.find(name);
    return it == animations.end() ? nullptr : &it->second;
}
