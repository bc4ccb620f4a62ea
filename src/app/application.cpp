#include "app/application.h"

#include "script/symbol.h"

namespace glint {

namespace {
MApplication* current = nullptr;
} // namespace

MApplication* application() { return current; }

MApplication::MApplication() {
    current = this;
    initSymbols();
    reloadConfigurations();
    settings = readGameSettings(gameConfig);
    build = buildFlagsFor(settings);
}

MApplication::~MApplication() {
    if (current == this)
        current = nullptr;
}

void MApplication::reloadConfigurations() {
    loadGameConfiguration(gameConfig);
    atlasConfig.load();
}

std::string MApplication::buildText() const { return glint::buildText(gameConfig, build); }

} // namespace glint
