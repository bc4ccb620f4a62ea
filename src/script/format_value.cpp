// The text form of values (print, string building, angle-bracket
// substitution) and the number conversions that go with it.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "script/array_object.h"
#include "script/host_objects.h"
#include "script/objects.h"

namespace glint {

int64_t roundToInteger(double x) { return static_cast<int64_t>(std::llround(x)); }

double textToNumber(const char* text) {
    if (!text) return 0;
    bool negative = *text == '-';
    if (negative) ++text;
    double value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
    if (*text == '.') {
        double divisor = 10;
        for (++text; *text >= '0' && *text <= '9'; ++text, divisor *= 10) value += (*text - '0') / divisor;
    }
    return negative ? -value : value;
}

namespace {

class Appender {
public:
    Appender(char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {
        length_ = capacity ? std::strlen(buffer) : 0;
    }
    void text(const char* s) {
        if (!s) return;
        while (*s && length_ + 1 < capacity_) buffer_[length_++] = *s++;
        if (capacity_) buffer_[length_] = 0;
    }
    void character(char c) {
        char s[2] = {c, 0};
        text(s);
    }
    void scoped(char prefix, const Scope* scope, const Symbol* name) {
        character(prefix);
        text(scope ? scope->sceneName() : "");
        character(':');
        text(name ? name->text : "");
    }
    void sceneObject(char prefix, const ScriptSceneObject* object) {
        character(prefix);
        if (!object) {
            character('?');
            return;
        }
        text(object->scene && object->scene->name ? object->scene->name->text : "");
        character(':');
        text(object->name ? object->name->text : "");
    }

private:
    char* buffer_;
    size_t capacity_;
    size_t length_;
};

// Two decimals unless the fraction rounds to whole hundredths of zero:
// 7 -> "7", 7.5 -> "7.50", 2.004 -> "2", 2.996 -> "3.00", -0.004 -> "-0.00".
void formatNumber(Appender& out, double x) {
    char text[64];
    double fraction = x - std::floor(x);
    if (std::llround(fraction * 100) != 0)
        std::snprintf(text, sizeof text, "%.2f", x);
    else
        std::snprintf(text, sizeof text, "%" PRId64, roundToInteger(x));
    out.text(text);
}

void formatClass(Appender& out, const ScriptClass* klass) {
    out.character('{');
    out.text(klass && klass->scope ? klass->scope->sceneName() : "");
    out.character(':');
    out.text(klass && klass->name ? klass->name->text : "");
    out.character('}');
}

void format(Appender& out, const Value& value, int depth) {
    switch (value.type()) {
    case ValueType::None: out.text("?"); break;
    case ValueType::Number: formatNumber(out, value.number); break;
    case ValueType::String: out.text(value.pointer ? value.symbol()->text : ""); break;
    case ValueType::Element: out.sceneObject('$', value.as<ScriptSceneObject>()); break;
    case ValueType::Group: out.sceneObject('~', value.as<ScriptSceneObject>()); break;
    case ValueType::Sound: out.sceneObject('*', value.as<ScriptSceneObject>()); break;
    case ValueType::Scene: {
        auto* scene = value.as<ScriptScene>();
        out.character('+');
        out.text(scene && scene->name ? scene->name->text : "");
        break;
    }
    case ValueType::Item: {
        auto* item = value.as<ScriptItem>();
        out.character('^');
        out.text(item && item->name ? item->name->text : "");
        break;
    }
    case ValueType::Function: {
        auto* f = value.as<ScriptFunction>();
        if (f) out.scoped('&', f->scope, f->name);
        break;
    }
    case ValueType::Task: {
        auto* t = value.as<ScriptTask>();
        if (t) out.scoped('@', t->scope, t->name);
        break;
    }
    case ValueType::Signal: {
        auto* s = value.as<ScriptSignal>();
        if (s) out.scoped('!', s->scope, s->name);
        break;
    }
    case ValueType::Class: {
        auto* c = value.as<ScriptClass>();
        if (c) out.scoped('-', c->scope, c->name);
        break;
    }
    case ValueType::Array: {
        auto* a = value.as<ArrayObject>();
        if (a) out.scoped(prefixOfKind(a->variableKind()), a->owner, a->name);
        break;
    }
    case ValueType::Instance: {
        auto* i = value.as<ScriptInstance>();
        if (i) formatClass(out, i->klass);
        break;
    }
    case ValueType::Method: {
        auto* m = value.as<ScriptMethod>();
        if (!m) break;
        formatClass(out, m->instance ? m->instance->klass : nullptr);
        out.character('.');
        out.text(m->function && m->function->shortName ? m->function->shortName->text : "");
        break;
    }
    case ValueType::Reference:
        // A reference never points at another reference in practice; the
        // depth cap only guards against a cycle built by mistake.
        if (value.pointer && depth < 8) format(out, *value.as<Value>(), depth + 1);
        break;
    default: break;
    }
}

} // namespace

void formatValue(const Value& value, char* buffer, size_t capacity) {
    Appender out(buffer, capacity);
    format(out, value, 0);
}

std::string valueText(const Value& value) {
    char buffer[4096] = "";
    formatValue(value, buffer, sizeof buffer);
    return buffer;
}

} // namespace glint
