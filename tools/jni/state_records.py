#!/usr/bin/env python3
"""Generates the swerve state records of the C interface and the JVM bindings.

The table below is the only place where the fields of the records that cross
the C and JNI boundaries are written down: their names, order, types and
units. The names, JNI type signatures and order are a contract with Java
programs and C callers: never rename or reorder a field, only append. From
the table this script writes, and the outputs are committed:

  include/kvor/zephrin6/swerve/swerve_c_style.h   the C structs, between its
                                                  "Records" marker lines
  java/src/main/java/com/kvor/zephrin6/swerve/jni/SwerveJNI.java
                                                  the nested classes and the
                                                  scratch fields, between its
                                                  marker lines
  src/jni/internal/FieldIds.hpp, FieldIds.cpp     one cached field ID per Java
                                                  field, looked up at load
  src/jni/internal/JavaRecords.hpp, JavaRecords.cpp
                                                  field-by-field copies between
                                                  each C struct and its Java
                                                  object

Run it from anywhere after changing the table:  python3 tools/jni/state_records.py
Pass --check to fail (exit 1) when a committed output differs from what the
table produces.
"""

from __future__ import annotations

import argparse
import os
import sys
import textwrap
from dataclasses import dataclass, field

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
C_HEADER = "include/kvor/zephrin6/swerve/swerve_c_style.h"
JAVA_FILE = "java/src/main/java/com/kvor/zephrin6/swerve/jni/SwerveJNI.java"
JNI_CLASS = "com/kvor/zephrin6/swerve/jni/SwerveJNI"
OUTER = "SwerveJNI"

# --------------------------------------------------------------------------
# Field kinds: the C type, the Java type, the JNI type signature and the
# name part of the JNI accessors (Get<jni>Field, Set<jni>Field).
# --------------------------------------------------------------------------


@dataclass(frozen=True)
class Kind:
    c: str
    java: str
    signature: str
    jni: str
    record: "Record | None" = None  # the record an object or array field holds
    array: bool = False             # one entry per module, sized by the owner


DOUBLE = Kind("double", "double", "D", "Double")
INT32 = Kind("int32_t", "int", "I", "Int")
BOOL = Kind("bool", "boolean", "Z", "Boolean")


@dataclass(frozen=True)
class Field:
    name: str          # C and Java field name
    kind: Kind
    doc: str           # what it is and its unit, as a lower-case phrase
    id: str = ""       # the field-ID variable, when the usual name does not fit


@dataclass
class Record:
    java: str          # Java class: a class nested in SwerveJNI, or SwerveJNI itself ("" for a C-only record)
    c: str             # C struct ("" for a Java-only class)
    doc: str
    id_prefix: str     # field-ID variables are <id_prefix><Name>Field
    fields: list[Field] = field(default_factory=list)
    to_java: bool = False    # the bindings write C records of it into Java objects
    from_java: bool = False  # the bindings read Java objects of it into C records

    @property
    def jni_name(self) -> str:
        return JNI_CLASS if self.java == OUTER else f"{JNI_CLASS}${self.java}"

    def id_of(self, f: Field) -> str:
        if f.id:
            return f.id
        if not self.id_prefix:
            return f"{f.name}Field"
        return f"{self.id_prefix}{f.name[0].upper()}{f.name[1:]}Field"


def nested(record: Record) -> Kind:
    """A field holding one object of `record` (a struct member by value in C)."""
    return Kind(record.c, record.java, f"L{record.jni_name};", "Object", record)


def per_module(record: Record) -> Kind:
    """A field holding one `record` per module (a pointer to the first in C)."""
    return Kind(f"{record.c} *", f"{record.java}[]", f"[L{record.jni_name};", "Object", record, array=True)


# --------------------------------------------------------------------------
# The table. Classes in the order JNI_OnLoad loads them; C structs in the
# order the C header declares them.
# --------------------------------------------------------------------------

MODULE_STATE = Record(
    "ModuleState", "_swerve_module_state_t", "One module's wheel speed and azimuth.", "ModuleState", [
        Field("speed", DOUBLE, "wheel speed, m/s"),
        Field("angle", DOUBLE, "azimuth, radians"),
    ], to_java=True, from_java=True)

MODULE_POSITION = Record(
    "ModulePosition", "_swerve_module_position_t", "One module's distance rolled and azimuth.", "ModulePosition", [
        Field("distance", DOUBLE, "distance rolled, metres"),
        Field("angle", DOUBLE, "azimuth, radians"),
    ], to_java=True)

POSE = Record(
    "", "_swerve_pose_t", "A pose on the field.", "", [
        Field("x", DOUBLE, "metres"),
        Field("y", DOUBLE, "metres"),
        Field("theta", DOUBLE, "heading, radians"),
    ])

DRIVE_STATE = Record(
    "DriveState", "_swerve_drive_state_t",
    "A drivetrain's state after one odometry sample. The three arrays have one entry per module, "
    "in module order.", "", [
        Field("PoseX", DOUBLE, "fused pose estimate: x, metres"),
        Field("PoseY", DOUBLE, "fused pose estimate: y, metres"),
        Field("PoseTheta", DOUBLE, "fused pose estimate: heading, radians"),
        Field("SpeedsVx", DOUBLE, "measured robot-relative speed forward, m/s"),
        Field("SpeedsVy", DOUBLE, "measured speed to the left, m/s"),
        Field("SpeedsOmega", DOUBLE, "measured turning rate, rad/s"),
        Field("ModuleStates", per_module(MODULE_STATE), "measured module states"),
        Field("ModuleTargets", per_module(MODULE_STATE), "states the modules were last told to reach"),
        Field("ModulePositions", per_module(MODULE_POSITION), "module positions"),
        Field("RawHeading", DOUBLE, "gyro heading without the odometry's offset, radians"),
        Field("Timestamp", DOUBLE, "time of the sample, seconds on the runtime's clock"),
        Field("OdometryPeriod", DOUBLE, "time between samples averaged over the last 50, seconds"),
        Field("SuccessfulDaqs", INT32, "samples whose signals all arrived in time"),
        Field("FailedDaqs", INT32, "samples with some signal late or missing"),
    ], to_java=True)

CONTROL_PARAMS = Record(
    "ControlParams", "_swerve_control_params_t", "What a control callback is given every sample.", "Control", [
        Field("kMaxSpeedMps", DOUBLE, "drivetrain top speed, m/s", id="ControlMaxSpeedMpsField"),
        Field("operatorForwardDirection", DOUBLE, "field direction the operator calls forward, radians"),
        Field("currentChassisSpeedVx", DOUBLE, "measured robot-relative speed forward, m/s",
              id="ControlChassisSpeedVxField"),
        Field("currentChassisSpeedVy", DOUBLE, "measured speed to the left, m/s", id="ControlChassisSpeedVyField"),
        Field("currentChassisSpeedOmega", DOUBLE, "measured turning rate, rad/s", id="ControlChassisSpeedOmegaField"),
        Field("currentPoseX", DOUBLE, "fused pose estimate: x, metres", id="ControlPoseXField"),
        Field("currentPoseY", DOUBLE, "fused pose estimate: y, metres", id="ControlPoseYField"),
        Field("currentPoseTheta", DOUBLE, "fused pose estimate: heading, radians", id="ControlPoseThetaField"),
        Field("timestamp", DOUBLE, "time of the sample, seconds"),
        Field("updatePeriod", DOUBLE, "1 / odometry frequency, seconds"),
    ], to_java=True)

MODULE_APPLY_PARAMS = Record(
    "ModuleApplyParams", "_swerve_module_apply_params_t", "One command for one module.", "ModuleApply", [
        Field("state", nested(MODULE_STATE), "wheel speed (m/s) and azimuth (radians) to reach"),
        Field("wheelForceFeedforwardX", DOUBLE, "force to push with along the robot's x axis, newtons"),
        Field("wheelForceFeedforwardY", DOUBLE, "force to push with along the robot's y axis, newtons"),
        Field("driveRequest", INT32, "0 open-loop voltage, 1 velocity"),
        Field("steerRequest", INT32, "0 profiled (exponential) motion, 1 position"),
        Field("updatePeriod", DOUBLE, "control period, seconds; 0 for no steer feed-forward"),
        Field("enableFOC", BOOL, "field-oriented commutation where the motor can"),
    ], from_java=True)

SWERVE_JNI = Record(
    OUTER, "", "Its scratch objects, which the native methods use instead of new objects per call.", "", [
        Field("driveState", nested(DRIVE_STATE), "written by {@link #JNI_GetState} and a telemetry callback"),
        Field("controlParams", nested(CONTROL_PARAMS), "written before each call of a control callback"),
        Field("moduleApplyParams", nested(MODULE_APPLY_PARAMS), "read by {@link #JNI_Module_Apply}"),
        Field("moduleState", nested(MODULE_STATE), "written by the module state getters"),
        Field("modulePosition", nested(MODULE_POSITION), "written by the module position getters"),
    ])

JAVA_CLASSES = [SWERVE_JNI, MODULE_STATE, MODULE_POSITION, DRIVE_STATE, CONTROL_PARAMS, MODULE_APPLY_PARAMS]
C_STRUCTS = [MODULE_STATE, MODULE_POSITION, POSE, DRIVE_STATE, CONTROL_PARAMS, MODULE_APPLY_PARAMS]

# --------------------------------------------------------------------------
# Text helpers.
# --------------------------------------------------------------------------

CPP_BANNER = ("// Generated by tools/jni/state_records.py from its table of the C and Java\n"
              "// state records. Change the table and rerun the script instead of editing this file.\n")


def sentence(phrase: str) -> str:
    return phrase[0].upper() + phrase[1:] + ("" if phrase.endswith(".") else ".")


def c_doc(text: str) -> list[str]:
    """`text` as a C doc comment: on one line when it fits, else wrapped."""
    if len(text) <= 73:
        return [f"/** {text} */"]
    lines = textwrap.wrap(text, 76)
    return [f"/** {lines[0]}"] + [f" *  {line}" for line in lines[1:-1]] + [f" *  {lines[-1]} */"]


def java_doc(text: str, indent: str) -> list[str]:
    """`text` as a Javadoc comment: on one line when it fits, else as a block."""
    if len(indent) + len(text) + 7 <= 100:
        return [f"{indent}/** {text} */"]
    lines = textwrap.wrap(text, 100 - len(indent) - 3)
    return [f"{indent}/**"] + [f"{indent} * {line}" for line in lines] + [f"{indent} */"]


def has_arrays(record: Record) -> bool:
    return any(f.kind.array for f in record.fields)


# --------------------------------------------------------------------------
# The C structs.
# --------------------------------------------------------------------------

C_BEGIN = "/* ---- Records ----"
C_END = "/* ---- End of the generated records ---- */"


def c_records() -> list[str]:
    out = [C_BEGIN,
           " * The records below and the Java classes that mirror them in the JVM",
           " * bindings (SwerveJNI.DriveState and the others) come from one table,",
           " * tools/jni/state_records.py. Change the table and rerun the script",
           " * instead of editing them here. */",
           ""]
    for r in C_STRUCTS:
        out += c_doc(r.doc)
        out.append(f"typedef struct {r.c} {{")
        members = [f"    {f.kind.c}{'' if f.kind.c.endswith('*') else ' '}{f.name};" for f in r.fields]
        column = max(len(m) for m in members) + 1
        for member, f in zip(members, r.fields):
            out.append(f"{member.ljust(column)}/**< {f.doc} */")
        out += [f"}} {r.c};", ""]
    out.append(C_END)
    return out


# --------------------------------------------------------------------------
# The Java classes.
# --------------------------------------------------------------------------

JAVA_BEGIN = "    // ---- State records ----"
JAVA_END = "    // ---- End of the generated records ----"


def java_field(f: Field, indent: str) -> list[str]:
    kind = f.kind
    init = ""
    if kind.record is not None and not kind.array and not has_arrays(kind.record):
        init = f" = new {kind.java}()"  # records with arrays are sized by their owner's constructor
    return java_doc(sentence(f.doc), indent) + [f"{indent}public {kind.java} {f.name}{init};"]


def java_sizing_constructors(r: Record) -> list[str]:
    arrays = [f for f in r.fields if f.kind.array]
    out = ["",
           f"        /** A {r.java} without module entries (only the numbers are filled in). */",
           f"        public {r.java}() {{",
           "            this(0);",
           "        }",
           "",
           f"        /** A {r.java} with room for {{@code moduleCount}} modules. */",
           f"        public {r.java}(int moduleCount) {{"]
    out += [f"            {f.name} = new {f.kind.record.java}[moduleCount];" for f in arrays]
    out.append("            for (int i = 0; i < moduleCount; ++i) {")
    out += [f"                {f.name}[i] = new {f.kind.record.java}();" for f in arrays]
    out += ["            }", "        }"]
    return out


def java_records() -> list[str]:
    out = [JAVA_BEGIN,
           "    // These classes and the scratch fields below mirror the records of the C interface",
           "    // and come from one table, tools/jni/state_records.py, which also gives the native",
           "    // layer its field IDs. Change the table and rerun the script instead of editing them.",
           ""]
    for r in JAVA_CLASSES:
        if r.java == OUTER:
            continue
        out += java_doc(r.doc, "    ")
        out.append(f"    public static class {r.java} {{")
        for f in r.fields:
            out += java_field(f, "        ")
        if has_arrays(r):
            out += java_sizing_constructors(r)
        out += ["    }", ""]
    for f in SWERVE_JNI.fields:
        out += java_field(f, "    ")
    out += ["", JAVA_END]
    return out


# --------------------------------------------------------------------------
# The cached field IDs.
# --------------------------------------------------------------------------


def field_ids_header() -> str:
    out = [CPP_BANNER.rstrip("\n"),
           "#pragma once",
           "",
           "// The field IDs of the Java classes the bindings read and write, looked up",
           "// once when the JVM loads the library (JNI_OnLoad) and never cleared. Field",
           "// IDs stay valid as long as their class is loaded, and the classes are",
           "// reachable from SwerveJNI, whose native methods are the only users, so",
           "// caching them is safe; looking them up per call would cost more than the",
           "// calls themselves. Written only during loading, read from any thread after.",
           "",
           "#include <jni.h>",
           "",
           "namespace kvor::zephrin6::jni {",
           ""]
    for r in JAVA_CLASSES:
        first_sentence = r.doc.split(". ")[0].rstrip(".")
        out.append(f"// {r.jni_name.rsplit('/', 1)[1]}: {first_sentence[0].lower()}{first_sentence[1:]}.")
        out += [f"extern jfieldID {r.id_of(f)};" for f in r.fields]
        out.append("")
    out += ["/// One Java class the bindings use and the lookup of its fields.",
            "struct JavaClassFields {",
            f'  /// JNI class name, e.g. "{MODULE_STATE.jni_name}".',
            "  const char* name;",
            "  /// Looks up every field of `javaClass` that is still unset. @return false,",
            "  /// with the JVM's NoSuchFieldError pending, when one is missing.",
            "  bool (*lookUp)(JNIEnv* env, jclass javaClass);",
            "};",
            "",
            "/// The classes, in the order they are loaded.",
            f"extern const JavaClassFields kJavaClasses[{len(JAVA_CLASSES)}];",
            "",
            "}  // namespace kvor::zephrin6::jni",
            ""]
    return "\n".join(out)


def field_ids_source() -> str:
    out = ['#include "jni/internal/FieldIds.hpp"',
           "",
           CPP_BANNER.rstrip("\n"),
           "",
           "#include <cstddef>",
           "",
           "namespace kvor::zephrin6::jni {",
           ""]
    for r in JAVA_CLASSES:
        out += [f"jfieldID {r.id_of(f)} = nullptr;" for f in r.fields]
    out += ["",
            "namespace {",
            "",
            "/// One field to look up: where its ID goes, its name and type signature.",
            "struct Field {",
            "  jfieldID* id;",
            "  const char* name;",
            "  const char* signature;",
            "};",
            "",
            "template <std::size_t N>",
            "bool LookUp(JNIEnv* env, jclass javaClass, const Field (&fields)[N]) {",
            "  for (const Field& field : fields) {",
            "    if (*field.id != nullptr) continue;",
            "    *field.id = env->GetFieldID(javaClass, field.name, field.signature);",
            "    if (*field.id == nullptr) return false;",
            "  }",
            "  return true;",
            "}",
            ""]
    for r in JAVA_CLASSES:
        out += [f"bool LookUp{r.java}(JNIEnv* env, jclass javaClass) {{",
                "  static const Field kFields[] = {"]
        out += [f'      {{&{r.id_of(f)}, "{f.name}", "{f.kind.signature}"}},' for f in r.fields]
        out += ["  };", "  return LookUp(env, javaClass, kFields);", "}", ""]
    out += ["}  // namespace", "", f"const JavaClassFields kJavaClasses[{len(JAVA_CLASSES)}] = {{"]
    out += [f'    {{"{r.jni_name}", &LookUp{r.java}}},' for r in JAVA_CLASSES]
    out += ["};", "", "}  // namespace kvor::zephrin6::jni", ""]
    return "\n".join(out)


# --------------------------------------------------------------------------
# The copies between C records and Java objects.
# --------------------------------------------------------------------------


def records_header() -> str:
    out = [CPP_BANNER.rstrip("\n"),
           "#pragma once",
           "",
           "// Field-by-field copies between the C interface's records and the bindings'",
           "// Java objects of the same names, through the cached field IDs. A null Java",
           "// object is skipped. Module arrays are not copied here: their lengths are",
           "// the Java arrays', which the caller bounds (JavaState). Call on a thread",
           "// attached to the JVM, with no exception pending.",
           "",
           "#include <kvor/zephrin6/swerve/swerve_c_style.h>",
           "",
           "#include <jni.h>",
           "",
           "namespace kvor::zephrin6::jni {",
           ""]
    for r in JAVA_CLASSES:
        if r.to_java:
            but = ", its module arrays excepted," if has_arrays(r) else ""
            out += [f"/// Writes `record`{but} into the Java {r.java} `target`.",
                    f"void CopyToJava(JNIEnv* env, jobject target, const {r.c}& record);"]
        if r.from_java:
            out += [f"/// Reads the Java {r.java} `source` into `record`.",
                    f"void CopyFromJava(JNIEnv* env, jobject source, {r.c}& record);"]
    out += ["", "}  // namespace kvor::zephrin6::jni", ""]
    return "\n".join(out)


def copy_function(r: Record, to_java: bool) -> list[str]:
    """CopyToJava or CopyFromJava for `r`: every field but the module arrays."""
    if to_java:
        out = [f"void CopyToJava(JNIEnv* env, jobject target, const {r.c}& record) {{",
               "  if (target == nullptr) return;"]
        obj = "target"
    else:
        out = [f"void CopyFromJava(JNIEnv* env, jobject source, {r.c}& record) {{",
               "  if (source == nullptr) return;"]
        obj = "source"
    for f in r.fields:
        k, fid, c = f.kind, r.id_of(f), f"record.{f.name}"
        if k.array:
            continue
        if k.record is not None:
            out += [f"  jobject {f.name} = env->GetObjectField({obj}, {fid});",
                    f"  {'CopyToJava' if to_java else 'CopyFromJava'}(env, {f.name}, {c});",
                    f"  if ({f.name} != nullptr) env->DeleteLocalRef({f.name});"]
        elif to_java:
            value = f"{c} ? JNI_TRUE : JNI_FALSE" if k is BOOL else c
            out.append(f"  env->Set{k.jni}Field(target, {fid}, {value});")
        else:
            test = " != JNI_FALSE" if k is BOOL else ""
            out.append(f"  {c} = env->Get{k.jni}Field(source, {fid}){test};")
    return out + ["}", ""]


def records_source() -> str:
    out = ['#include "jni/internal/JavaRecords.hpp"',
           "",
           CPP_BANNER.rstrip("\n"),
           "",
           '#include "jni/internal/FieldIds.hpp"',
           "",
           "namespace kvor::zephrin6::jni {",
           ""]
    for r in JAVA_CLASSES:
        if r.to_java:
            out += copy_function(r, to_java=True)
        if r.from_java:
            out += copy_function(r, to_java=False)
    out += ["}  // namespace kvor::zephrin6::jni", ""]
    return "\n".join(out)


# --------------------------------------------------------------------------


def splice(rel: str, begin: str, end: str, lines: list[str]) -> str:
    """The committed file `rel` with the lines from the one starting with
    `begin` to the one equal to `end` replaced by `lines`."""
    text = open(os.path.join(ROOT, rel), encoding="utf-8").read()
    old = text.split("\n")
    starts = [i for i, line in enumerate(old) if line.startswith(begin)]
    ends = [i for i, line in enumerate(old) if line == end]
    if len(starts) != 1 or len(ends) != 1 or ends[0] < starts[0]:
        sys.exit(f"{rel}: expected one '{begin}' line and, after it, one '{end}' line")
    return "\n".join(old[:starts[0]] + lines + old[ends[0] + 1:])


def outputs() -> dict[str, str]:
    return {
        C_HEADER: splice(C_HEADER, C_BEGIN, C_END, c_records()),
        JAVA_FILE: splice(JAVA_FILE, JAVA_BEGIN, JAVA_END, java_records()),
        "src/jni/internal/FieldIds.hpp": field_ids_header(),
        "src/jni/internal/FieldIds.cpp": field_ids_source(),
        "src/jni/internal/JavaRecords.hpp": records_header(),
        "src/jni/internal/JavaRecords.cpp": records_source(),
    }


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="only compare the committed outputs")
    args = parser.parse_args()
    stale = []
    for rel, text in outputs().items():
        path = os.path.join(ROOT, rel)
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if old == text:
            continue
        stale.append(rel)
        if not args.check:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    if args.check and stale:
        print("out of date:\n  " + "\n  ".join(stale), file=sys.stderr)
        return 1
    if not args.check:
        print(f"{len(stale)} file(s) written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
