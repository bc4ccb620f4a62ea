// Root classes of the engine layer.
#pragma once

namespace glint {

// Every engine object is destroyed through its base.
class KObjectBase {
public:
    KObjectBase() = default;
    virtual ~KObjectBase() = default;
    KObjectBase(const KObjectBase&) = delete;
    KObjectBase& operator=(const KObjectBase&) = delete;
};

// An object that can sit in one intrusive list; the list's owner sets the links.
class KObjectListable : public KObjectBase {
public:
    KObjectListable* next = nullptr;
    KObjectListable* prev = nullptr;
};

} // namespace glint
