// Element commands: showing and hiding, channel overrides, tint, the drawn
// image and size, and start, stop and reset; the registration of every
// element command.
#include "scene/element_command_args.h"
#include "scene/element_commands.h"
#include "scene/element_media.h"
#include "scene/element_movie.h"
#include "scene/scene.h"
#include "scene/sound_control.h"
#include "script/commands.h"
#include "script/interpreter.h"

namespace glint {

namespace {

// The scene whose script runs.
bool inCurrentScene(const MElement& element) {
    const Scope* scope = script().ctx.scope;
    return scope && element.scene && scope->scene() == element.scene;
}

uint32_t show(Value* args, int) {
    forEachChangedElement(args[0], [](MElement& element) {
        element.cancelPendingHide();
        element.setShown(true);
        if (inCurrentScene(element) && element.imageAnimates())
            element.restartImageAnimation();
    });
    return 0;
}

uint32_t hide(Value* args, int) {
    forEachChangedElement(args[0], [](MElement& element) {
        element.cancelPendingHide();
        element.setShown(false);
    });
    return 0;
}

// move, set_z and rotate: the value comes from the arguments or from the
// element given instead; no argument (for set_z and rotate also one holding
// none) gives the channels back to the tracks.
uint32_t move(Value* args, int count) {
    const MElement* from = elementArgument(args[1]);
    forEachChangedElement(args[0], [&](MElement& element) {
        if (count < 2) {
            element.releaseOverride(kElementPositionLocked);
            return;
        }
        element.overrideChannel(kElementPositionLocked, kChannelX,
                                from ? from->absX : numberArgument(args, count, 1, 0));
        element.overrideChannel(kElementPositionLocked, kChannelY,
                                from ? from->absY : numberArgument(args, count, 2, 0));
    });
    return 0;
}

uint32_t overrideOne(Value* args, int count, uint32_t lock, int channel) {
    const MElement* from = elementArgument(args[1]);
    forEachChangedElement(args[0], [&](MElement& element) {
        if (count < 2 || args[1].isNone())
            element.releaseOverride(lock);
        else
            element.overrideChannel(lock, channel, from ? from->channels[channel] : numberArgument(args, count, 1, 0));
    });
    return 0;
}

uint32_t setZ(Value* args, int count) { return overrideOne(args, count, kElementDepthLocked, kChannelZ); }

uint32_t rotate(Value* args, int count) { return overrideOne(args, count, kElementAngleLocked, kChannelAngle); }

// The alpha factor always; the tint only once a colour is written.
uint32_t blend(Value* args, int count) {
    const int64_t scaled = roundToInteger(numberArgument(args, count, 1, 1) * 1024.0);
    const auto alpha = static_cast<int16_t>(std::clamp<int64_t>(scaled, -32767, 32767));
    const float rgb[3] = {numberArgument(args, count, 2, 1), numberArgument(args, count, 3, 1),
                          numberArgument(args, count, 4, 1)};
    const bool tinted = differsFromWhite(rgb);
    forEachChangedElement(args[0], [&](MElement& element) {
        element.alpha = alpha;
        if (count < 3)
            return;
        if (!tinted) {
            element.flags &= ~kElementTinted;
            return;
        }
        for (int i = 0; i < 3; ++i) element.tint[i] = colourByte(rgb[i]);
        element.flags |= kElementTinted;
    });
    return 0;
}

uint32_t setImage(Value* args, int) {
    MElement* source = elementArgument(args[1]);
    forEachChangedElement(args[0], [&](MElement& element) { element.setImageSource(source); });
    return 0;
}

// The size from the arguments (1 each by default) or from the other
// element's visual; no argument drops the override.
uint32_t setSize(Value* args, int count) {
    const MElement* from = elementArgument(args[1]);
    float w = numberArgument(args, count, 1, 1), h = numberArgument(args, count, 2, 1);
    if (from) {
        w = from->visual ? from->visual->width : 0;
        h = from->visual ? from->visual->height : 0;
    }
    forEachChangedElement(args[0], [&](MElement& element) {
        if (count < 2)
            element.clearSizeOverride();
        else
            element.setSizeOverride(w, h);
    });
    return 0;
}

// A task target calls its member of the command's name; elements change
// their active flag.
template <class Action> uint32_t playControl(Value* args, const char* member, Action action) {
    if (args[0].is(ValueType::Task) && args[0].pointer) {
        callTaskMember(args[0].as<ScriptTask>(), intern(member), nullptr);
        return 0;
    }
    forEachChangedElement(args[0], action);
    return 0;
}

// The sound part of start, stop and reset: a sound target goes to the
// game's sound player.
bool soundPlayControl(const Value& target, SoundPlayCommand command) {
    if (!target.is(ValueType::Sound) || !target.pointer)
        return false;
    controlSound(target.as<ScriptSound>(), command);
    return true;
}

uint32_t start(Value* args, int) {
    if (soundPlayControl(args[0], SoundPlayCommand::Start))
        return 0;
    return playControl(args, "start", [](MElement& element) { element.flags |= kElementActive; });
}

uint32_t stop(Value* args, int) {
    if (soundPlayControl(args[0], SoundPlayCommand::Stop))
        return 0;
    return playControl(args, "stop", [](MElement& element) { element.flags &= ~kElementActive; });
}

uint32_t reset(Value* args, int) {
    if (soundPlayControl(args[0], SoundPlayCommand::Reset))
        return 0;
    return playControl(args, "reset", [](MElement& element) {
        element.flags &= ~kElementActive;
        resetParticleInstance(element);
        if (element.visual && element.visual->image.movie)
            restartMovie(element);
        else
            element.restartImageAnimation();
    });
}

} // namespace

void registerElementCommands() {
    registerKeyword(KwShow, "show", show, 1, 0);
    registerKeyword(KwHide, "hide", hide, 1, 0);
    registerKeyword(KwMove, "move", move, 3, 0);
    registerKeyword(KwSetZ, "set_z", setZ, 2, 0);
    registerKeyword(KwRotate, "rotate", rotate, 2, 0);
    registerKeyword(KwBlend, "blend", blend, 5, 0);
    registerKeyword(KwSetImage, "set_image", setImage, 2, 0);
    registerKeyword(KwSetSize, "set_size", setSize, 3, 0);
    registerKeyword(KwCheckHit, "check_hit", commandCheckHit, 4, 0);
    registerKeyword(KwGetImageW, "get_image_w", commandGetImageW, 3, 0);
    registerKeyword(KwGetImageH, "get_image_h", commandGetImageH, 3, 0);
    registerKeyword(KwSetTextAlign, "set_text_align", commandSetTextAlign, 3, 0);
    registerKeyword(KwSetTextProps, "set_text_props", commandSetTextProps, 8, 0);
    registerKeyword(KwSetHover, "set_hover", commandSetHover, 3, 0);
    registerKeyword(KwStart, "start", start, 1, 0);
    registerKeyword(KwStop, "stop", stop, 1, 0);
    registerKeyword(KwReset, "reset", reset, 1, 0);
}

} // namespace glint
