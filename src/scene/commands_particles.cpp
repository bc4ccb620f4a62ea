// The particle commands: emit starts a free-running effect; set_ps_option,
// get_ps_option and save_ps tune a particle element's system by name in
// script units (seconds, colours 0 to 255) and write it back to its file.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "resource/particle_system.h"
#include "scene/element_command_args.h"
#include "scene/element_commands.h"
#include "scene/particle_effects.h"
#include "scene/scene.h"
#include "scene/scene_update_steps.h"
#include "script/commands.h"
#include "script/interpreter.h"
#include "script/script_system.h"

namespace glint {

namespace {

// How a script value is stored: seconds as ticks, plain integers, floats,
// the wind (x 0.0001), colours (/ 255) and option flags.
enum class Unit : uint8_t { Ticks, Integer, Blend, Float, Wind, Colour, Flag };

struct Option {
    Symbol* (*name)();
    Unit unit;
    void* (*field)(ParticleDescription&);
};

#define GLINT_FIELD(expr) [](ParticleDescription& d) -> void* { return &d.expr; }
const Option kOptions[] = {
    {sym::ps_emit_start_time_min, Unit::Ticks, GLINT_FIELD(startMin)},
    {sym::ps_emit_start_time_max, Unit::Ticks, GLINT_FIELD(startMax)},
    {sym::ps_emit_life_time, Unit::Ticks, GLINT_FIELD(emitTime)},
    {sym::ps_emit_loop_time, Unit::Ticks, GLINT_FIELD(cycleTime)},
    {sym::ps_life_time_min, Unit::Ticks, GLINT_FIELD(lifeMin)},
    {sym::ps_life_time_max, Unit::Ticks, GLINT_FIELD(lifeMax)},
    {sym::ps_is_additive, Unit::Blend, GLINT_FIELD(blend)},
    {sym::ps_particles_to_emit, Unit::Integer, GLINT_FIELD(total)},
    {sym::ps_emit_shape, Unit::Integer, GLINT_FIELD(shape)},
    {sym::ps_emit_rate_min, Unit::Float, GLINT_FIELD(rateMin)},
    {sym::ps_emit_rate_max, Unit::Float, GLINT_FIELD(rateMax)},
    {sym::ps_particles_per_emit_min, Unit::Float, GLINT_FIELD(countMin)},
    {sym::ps_particles_per_emit_max, Unit::Float, GLINT_FIELD(countMax)},
    // The file's first extent is the larger one.
    {sym::ps_emitter_size_x_max, Unit::Float, GLINT_FIELD(sizeXFirst)},
    {sym::ps_emitter_size_x_min, Unit::Float, GLINT_FIELD(sizeXSecond)},
    {sym::ps_emitter_size_y_max, Unit::Float, GLINT_FIELD(sizeYFirst)},
    {sym::ps_emitter_size_y_min, Unit::Float, GLINT_FIELD(sizeYSecond)},
    {sym::ps_spawn_direction_from_min, Unit::Float, GLINT_FIELD(direction[0])},
    {sym::ps_spawn_direction_from_max, Unit::Float, GLINT_FIELD(direction[1])},
    {sym::ps_spawn_direction_to_min, Unit::Float, GLINT_FIELD(direction[2])},
    {sym::ps_spawn_direction_to_max, Unit::Float, GLINT_FIELD(direction[3])},
    {sym::ps_spawn_velocity_from_min, Unit::Float, GLINT_FIELD(velocity[0])},
    {sym::ps_spawn_velocity_from_max, Unit::Float, GLINT_FIELD(velocity[1])},
    {sym::ps_spawn_velocity_to_min, Unit::Float, GLINT_FIELD(velocity[2])},
    {sym::ps_spawn_velocity_to_max, Unit::Float, GLINT_FIELD(velocity[3])},
    {sym::ps_fadein_time, Unit::Float, GLINT_FIELD(fadeIn)},
    {sym::ps_fadeout_time, Unit::Float, GLINT_FIELD(fadeOut)},
    {sym::ps_size_x_from_min, Unit::Float, GLINT_FIELD(sizeX[0])},
    {sym::ps_size_x_from_max, Unit::Float, GLINT_FIELD(sizeX[1])},
    {sym::ps_size_x_to_min, Unit::Float, GLINT_FIELD(sizeX[2])},
    {sym::ps_size_x_to_max, Unit::Float, GLINT_FIELD(sizeX[3])},
    {sym::ps_size_y_from_min, Unit::Float, GLINT_FIELD(sizeY[0])},
    {sym::ps_size_y_from_max, Unit::Float, GLINT_FIELD(sizeY[1])},
    {sym::ps_size_y_to_min, Unit::Float, GLINT_FIELD(sizeY[2])},
    {sym::ps_size_y_to_max, Unit::Float, GLINT_FIELD(sizeY[3])},
    {sym::ps_angle_from_min, Unit::Float, GLINT_FIELD(angle[0])},
    {sym::ps_angle_from_max, Unit::Float, GLINT_FIELD(angle[1])},
    {sym::ps_angle_to_min, Unit::Float, GLINT_FIELD(angle[2])},
    {sym::ps_angle_to_max, Unit::Float, GLINT_FIELD(angle[3])},
    {sym::ps_wind_x, Unit::Wind, GLINT_FIELD(windX)},
    {sym::ps_wind_y, Unit::Wind, GLINT_FIELD(windY)},
    {sym::ps_color_r_from, Unit::Colour, GLINT_FIELD(red[0])},
    {sym::ps_color_r_to, Unit::Colour, GLINT_FIELD(red[1])},
    {sym::ps_color_g_from, Unit::Colour, GLINT_FIELD(green[0])},
    {sym::ps_color_g_to, Unit::Colour, GLINT_FIELD(green[1])},
    {sym::ps_color_b_from, Unit::Colour, GLINT_FIELD(blue[0])},
    {sym::ps_color_b_to, Unit::Colour, GLINT_FIELD(blue[1])},
    {sym::ps_alpha_from, Unit::Colour, GLINT_FIELD(alpha[0])},
    {sym::ps_alpha_to, Unit::Colour, GLINT_FIELD(alpha[1])},
};
#undef GLINT_FIELD

struct FoundOption {
    Unit unit;
    void* field;
};

// The field name stands for in system, or nothing.
bool findOption(const Value& name, ParticleDescription& system, FoundOption& out) {
    if (!name.isString())
        return false;
    const Symbol* key = name.symbol();
    for (const Option& option : kOptions) {
        if (option.name() == key) {
            out = {option.unit, option.field(system)};
            return true;
        }
    }
    const std::string_view text = key->view();
    if (text.size() == 11 && text.starts_with("ps_option_") && text[10] >= 'a' && text[10] <= 'z') {
        out = {Unit::Flag, &system.options[text[10] - 'a']};
        return true;
    }
    return false;
}

void store(const FoundOption& option, double value) {
    switch (option.unit) {
    case Unit::Ticks: *static_cast<int32_t*>(option.field) = boundedParticleTicks(value * 100); break;
    case Unit::Integer: *static_cast<int32_t*>(option.field) = boundedParticleTicks(value); break;
    case Unit::Blend:
        *static_cast<uint8_t*>(option.field) = static_cast<uint8_t>(std::clamp(boundedParticleTicks(value), 0, 255));
        break;
    case Unit::Float: *static_cast<float*>(option.field) = boundedParticleValue(value); break;
    case Unit::Wind: *static_cast<float*>(option.field) = boundedParticleValue(value) * 0.0001f; break;
    case Unit::Colour: *static_cast<float*>(option.field) = boundedParticleValue(value) / 255; break;
    case Unit::Flag: *static_cast<uint8_t*>(option.field) = boundedParticleTicks(value) != 0 ? 1 : 0; break;
    }
}

double load(const FoundOption& option) {
    switch (option.unit) {
    case Unit::Ticks: return *static_cast<int32_t*>(option.field) / 100.0;
    case Unit::Integer: return *static_cast<int32_t*>(option.field);
    case Unit::Blend:
    case Unit::Flag: return *static_cast<uint8_t*>(option.field);
    case Unit::Float: return *static_cast<float*>(option.field);
    case Unit::Wind: return *static_cast<float*>(option.field) / 0.0001;
    case Unit::Colour: return *static_cast<float*>(option.field) * 255.0;
    }
    return 0;
}

MParticleSystem* systemOf(const Value& value) {
    const MElement* element = elementArgument(value);
    return element && element->visual ? element->visual->particleSystem : nullptr;
}

// element name value
uint32_t setPsOption(Value* args, int count) {
    MParticleSystem* system = systemOf(args[0]);
    FoundOption option{};
    if (system && count > 2 && args[2].isNumber() && findOption(args[1], *system, option))
        store(option, args[2].number);
    return 0;
}

// out element name
uint32_t getPsOption(Value* args, int) {
    MParticleSystem* system = systemOf(args[1]);
    FoundOption option{};
    if (system && findOption(args[2], *system, option))
        args[0] = Value::fromNumber(load(option));
    else
        args[0] = Value();
    return 1;
}

uint32_t savePs(Value* args, int) {
    if (MParticleSystem* system = systemOf(args[0]))
        system->save();
    return 0;
}

MScene* sceneArgument(const Value& value) {
    return value.is(ValueType::Scene) && value.pointer ? dynamic_cast<MScene*>(value.as<ScriptScene>()) : nullptr;
}

MScene* runningScene() {
    Scope* scope = script().ctx.scope;
    return scope ? dynamic_cast<MScene*>(scope->scene()) : nullptr;
}

// A coordinate given on screen, in the units of the global camera scale;
// a scale that is no number, or 0, leaves it as it is.
float unscaled(float value, Symbol* scaleName) {
    const Value* scale = globalValue(scaleName);
    if (!scale || !scale->isNumber() || scale->number == 0)
        return value;
    return static_cast<float>(value / scale->number);
}

// element anchor x y place r g b
uint32_t emit(Value* args, int count) {
    const MElement* element = elementArgument(args[0]);
    if (!element)
        return 0;
    const MElement* anchor = count > 1 ? elementArgument(args[1]) : nullptr;
    MElement* owner = count > 4 ? elementArgument(args[4]) : nullptr;
    MScene* scene = count > 4 ? sceneArgument(args[4]) : nullptr;
    if (!scene && owner)
        scene = owner->owner();
    if (!scene && anchor)
        scene = anchor->owner();
    if (!scene)
        scene = runningScene();
    if (!scene)
        return 0;
    float x = unscaled(numberArgument(args, count, 2, 0), sym::Global_camera_scale_x());
    float y = unscaled(numberArgument(args, count, 3, 0), sym::Global_camera_scale_y());
    if (anchor) {
        x += anchor->absX;
        y += anchor->absY;
    }
    startFreeEffect(*element, *scene, owner, x, y, numberArgument(args, count, 5, 1), numberArgument(args, count, 6, 1),
                    numberArgument(args, count, 7, 1));
    return 0;
}

} // namespace

void registerParticleCommands() {
    registerKeyword(KwEmit, "emit", emit, 8, 0);
    registerKeyword(KwSetPsOption, "set_ps_option", setPsOption, 3, 0);
    registerKeyword(KwGetPsOption, "get_ps_option", getPsOption, 3, 0);
    registerKeyword(KwSavePs, "save_ps", savePs, 1, 0);
}

} // namespace glint
