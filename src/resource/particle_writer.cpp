// The written form of an emitter: what an author tuned with set_ps_option
// goes back into the file, with a comment line naming each record's fields.
#include "resource/particle_description.h"

#include <cstdio>

namespace glint {

namespace {

// "%.2f" without trailing zeros or a trailing point.
std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string out = text;
    while (!out.empty() && out.back() == '0')
        out.pop_back();
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    if (out == "-0")
        out = "0";
    return out;
}

// One value when both are equal.
std::string pairText(double a, double b) { return a == b ? number(a) : number(a) + " " + number(b); }

// Repeated values are left out, since the reader repeats them back.
std::string rangeText(const ParticleRange& range, double factor) {
    const double a = range[0] * factor, b = range[1] * factor, c = range[2] * factor, d = range[3] * factor;
    if (a == c && b == d)
        return pairText(a, b);
    return pairText(a, b) + " : " + pairText(c, d);
}

class Writer {
public:
    void record(const char* comment, const std::string& line) {
        out_ += comment;
        out_ += "\r\n";
        out_ += line;
        out_ += "\r\n\r\n";
    }
    std::string& text() { return out_; }

private:
    std::string out_;
};

double seconds(int32_t ticks) { return ticks / 100.0; }

void writeImage(Writer& w, const ParticleImageText& image) {
    if (image.path.empty())
        return;
    char line[64];
    std::snprintf(line, sizeof line, " %d %.2f %d %.2f %.2f %.2f", image.blend, image.fps, image.firstFrame,
                  image.delaySeconds, image.frameWidth, image.frameHeight);
    w.record("; image <image> <blend-mode> <fps> <first-frame> <first-frame-delay> <frame-width> <frame-height>",
             "I " + image.path + line);
}

void writeOptions(Writer& w, const ParticleDescription& d) {
    static const struct {
        char letter;
        const char* comment;
    } kOptions[] = {{'A', "; keep size aspect (size y = size x)"},
                    {'B', "; absolute particles"},
                    {'I', "; independent alpha"},
                    {'S', "; apply owner scale"},
                    {'G', "; apply owner angle"}};
    for (const auto& option : kOptions)
        w.record(option.comment, std::string(d.option(option.letter) ? "" : ";") + "O " + option.letter);
}

} // namespace

std::string writeParticleDescription(const ParticleDescription& d, const ParticleImageText& image) {
    Writer w;
    writeImage(w, image);
    w.record("; <min-start-time> <max-start-time> <emit-time> <life-time>",
             "Q " + number(seconds(d.startMin)) + " " + number(seconds(d.startMax)) + " " +
                 number(seconds(d.emitTime)) + " " + number(seconds(d.cycleTime)));
    w.record("; emit rate <min> <max>", "E " + pairText(d.rateMin, d.rateMax));
    w.record("; emit count <min> <max>", "C " + pairText(d.countMin, d.countMax));
    w.record("; total particles to emit", "Z " + number(d.total));
    w.record("; shape", "H " + number(d.shape));
    w.record("; emitter size x <max> <min>", "S " + pairText(d.sizeXFirst, d.sizeXSecond));
    w.record("; emitter size y <max> <min>", "T " + pairText(d.sizeYFirst, d.sizeYSecond));
    w.record("; spawn direction <min> <max> : <min> <max>", "D " + rangeText(d.direction, 1));
    w.record("; spawn velocity <min> <max> : <min> <max>", "V " + rangeText(d.velocity, 100));
    w.record("; wind <wind-x> <wind-y>", "W " + number(d.windX * 10000.0) + " " + number(d.windY * 10000.0));
    w.record("; particles life-time <min> <max>", "L " + pairText(seconds(d.lifeMin), seconds(d.lifeMax)));
    w.record("; color R <from> <to>", "R " + pairText(d.red[0] * 255.0, d.red[1] * 255.0));
    w.record("; color G <from> <to>", "G " + pairText(d.green[0] * 255.0, d.green[1] * 255.0));
    w.record("; color B <from> <to>", "B " + pairText(d.blue[0] * 255.0, d.blue[1] * 255.0));
    w.record("; alpha <from> <to>", "A " + pairText(d.alpha[0] * 255.0, d.alpha[1] * 255.0));
    w.record("; fadein, fadeout", "F " + number(d.fadeIn) + " " + number(d.fadeOut));
    w.record("; size x <min> <max> : <min> <max>", "X " + rangeText(d.sizeX, 1));
    w.record("; size y <min> <max> : <min> <max>", "Y " + rangeText(d.sizeY, 1));
    w.record("; angle <min> <max> : <min> <max>", "N " + rangeText(d.angle, 1));
    writeOptions(w, d);
    return std::move(w.text());
}

} // namespace glint
