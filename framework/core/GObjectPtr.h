// An owner of one reference to an object of a GObject-based C library that has no C++ wrapper here
// (the engine's objects, GIO's sockets): the reference goes with the owner.
#pragma once

#include <glib-object.h>

#include <memory>

template <typename T>
struct GObjectUnref {
  void operator()(T* object) const { g_object_unref(object); }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

// A reference of one's own to an object someone else holds.
template <typename T>
GObjectPtr<T> GObjectRef(T* object) {
  return GObjectPtr<T>(static_cast<T*>(g_object_ref(object)));
}
