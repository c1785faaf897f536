// Shared by the flash.geom classes (Point, Rectangle, Matrix,
// ColorTransform, Transform): their package object, new instances and
// reading and writing their numeric members.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

#include "flash/core/Types.h"
#include "flash/core/avm1/Builtins.h"

namespace flash {

// _global.flash.geom, made when first asked for.
std::shared_ptr<ScriptObject> geomPackage(Realm& realm);
// Defines a class of the package (not on _global); returns its prototype.
std::shared_ptr<ScriptObject> defineGeomClass(Realm& realm, const char* name, NativeFn ctor);
// A new instance of a package class with numeric members set.
Value newGeom(NativeCall& c, const char* cls, std::initializer_list<std::pair<const char*, double>> members);
double member(NativeCall& c, const Value& object, const char* name);
void setMember(NativeCall& c, const Value& object, const char* name, double v);
// "(x=1, y=2)": members with their labels (the member names when none).
std::string geomText(NativeCall& c, const Value& object, std::initializer_list<const char*> names,
                     std::initializer_list<const char*> labels);

// Matrix and ColorTransform instances and engine values (GeomMatrix.cpp,
// ColorTransform.cpp); matrices in pixels, transforms with 1.0 multipliers.
Matrix matrixOf(NativeCall& c, const Value& v);
Value newMatrix(NativeCall& c, const Matrix& m);
ColorTransform colorTransformOf(NativeCall& c, const Value& v);
Value newColorTransform(NativeCall& c, const ColorTransform& t);

}  // namespace flash
