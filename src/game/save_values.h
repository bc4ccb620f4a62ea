// The records of script values on a save stream: references to engine
// objects by name, values, anonymous arrays, class instances, array
// contents and property lists. Like the fields, each routine writes or
// reads by the stream's mode and returns false once the stream fails.
//
// Reading resolves names through the running script system unless the
// stream probes; a name that finds nothing gives null. Content that has
// nowhere to go (a null target) is read and dropped, so that the fields
// after it are read from the right place.
#pragma once

#include "game/save_stream.h"
#include "script/objects.h"

namespace glint {

// Nested anonymous arrays and instances deeper than this fail the stream.
constexpr int kMaxSaveNesting = 100;
// An array content record with more slots than this fails the stream.
constexpr int32_t kMaxSaveArrayItems = 1 << 20;

// True when a read resolves names and stores into engine objects.
inline bool savedStateApplies(const SaveStream& s) { return s.reading() && !s.probe; }

bool sceneReference(SaveStream& s, ScriptScene*& scene);
bool elementReference(SaveStream& s, ScriptElement*& element);
bool groupReference(SaveStream& s, ScriptGroup*& group);
bool itemReference(SaveStream& s, ScriptItem*& item);
bool soundReference(SaveStream& s, ScriptSound*& sound);
bool functionReference(SaveStream& s, ScriptFunction*& function);
bool signalReference(SaveStream& s, ScriptSignal*& signal);
bool classReference(SaveStream& s, ScriptClass*& klass);
bool taskReference(SaveStream& s, ScriptTask*& task);
bool scopeReference(SaveStream& s, Scope*& scope);

// A value record: writing fails for types without a record (methods and
// the compiled forms). Reading stores into cell, which loses Unchanged.
bool valueRecord(SaveStream& s, Value& cell);
// Writing: true for a method value, which the writers leave out (counted
// on the stream under name) so that one such value does not fail the save.
bool leftOutOfSave(SaveStream& s, const Value& value, const Symbol* name);
bool arrayReference(SaveStream& s, ArrayObject*& array);
bool instanceRecord(SaveStream& s, ScriptInstance*& instance);
// array may be null when reading (the content is dropped).
bool arrayContent(SaveStream& s, ArrayObject* array, bool changedOnly, bool withMembers);
// list may be null when reading.
bool propertyList(SaveStream& s, PropertyList* list, bool changedOnly);

// Whether the savegame writer stores a key: it begins with a to z or "_".
bool savedName(const Symbol* name);
// A node or slot the changed-only records write: its value is not
// Unchanged, or it holds an anonymous array, an instance or a method.
bool savedAsChanged(const Value& value);
// The list holds a saved key whose value counts as changed.
bool hasChangedValues(const PropertyList& list);

} // namespace glint
