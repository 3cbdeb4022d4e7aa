#pragma once

// Configuration transport of the device runtime: turning single values into
// config text and back, and the blocking write and read of a device's stored
// config text. Every call is thread-safe. Texts handed out are allocated with
// malloc; the caller releases them with free (or c_kvor_zephrin6_free_memory).
//
// Config text format. A text is a sequence of pieces, one value each:
//
//     <id>:<kind>=<value>;
//
//   id     the config ID in decimal, 0 to 65535, no sign or leading zeros
//          (the table of IDs is kvor/zephrin/platform/ConfigIds.def);
//   kind   'd' for a 64-bit float, 'i' for a signed 32-bit integer;
//   value  for 'd' the shortest decimal that reads back to exactly the same
//          double ("0.1", "2.5", "1e-07", "inf", "-inf", "nan"); for 'i' an
//          optional minus sign and decimal digits.
//
// For example "2158:i=1;2159:d=0.04;". Nothing separates pieces but their
// terminating ';', so concatenated pieces (or texts) form a valid text. When an
// ID appears more than once, the last piece wins, which makes appending a
// piece the same as overwriting a value. Parsing is strict: a piece is
// everything up to the next ';', and a piece that does not match the grammar
// exactly (stray characters, a missing terminator at the end of a truncated
// text, an out-of-range number) is skipped as a whole, so a damaged text never
// yields a wrong value, only a missing one.

#include <cstdint>
#include <kvor/zephrin/platform/Export.hpp>

extern "C" {

/// Writes one double as a config piece for `configId` into a new text.
/// @param configId the config ID, 0 to 65535.
/// @param value    the value in the unit of its setting.
/// @param text     receives a malloc'd NUL-terminated text, or nullptr on failure.
/// @return 0, or -1002 (InvalidParamValue) for an ID out of range or a null `text`.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_serialize_double(int configId, double value, char** text);

/// Writes one int as a config piece for `configId`; as c_kvor_zephrin6_serialize_double.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_serialize_int(int configId, int value, char** text);

/// Finds the last well-formed piece of `configId` in `text` (`length` bytes, no
/// terminator needed) and writes its value to `value`; an integer piece is
/// converted exactly.
/// @return 0 when found; -10004 (NotFound) when the text has no valid piece for
///         the ID, leaving `value` unchanged; -1002 for a null pointer.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_deserialize_double(int configId, const char* text,
                                                                         uint32_t length, double* value);

/// As c_kvor_zephrin6_deserialize_double for an int; a 'd' piece is accepted
/// only when it holds a whole number within the int range.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_deserialize_int(int configId, const char* text, uint32_t length,
                                                                      int* value);

/// Writes config text to a device and blocks until the device answered or
/// `timeoutSeconds` passed on the runtime clock.
/// @param context        reserved, 0.
/// @param network        the device's bus name.
/// @param deviceHash     the device's hash from c_kvor_zephrin6_encode_device.
/// @param timeoutSeconds how long to wait for the device, seconds; must be > 0.
/// @param values,length  the config text and its length in bytes.
/// @param firstFlag      reserved, passed through.
/// @param actionFlag     false: the values are settings, merged into the
///                       device's stored values (later pieces win); true: they
///                       are one-shot actions (set position, clear sticky
///                       faults), applied to the device's signals and not stored.
/// @param reserved       reserved, false.
/// @return 0; -10032 (TimeoutCannotBeZero) for a timeout of 0; -1002 for a
///         negative or non-finite timeout, a null text with a length, or a text
///         with malformed pieces (the well-formed ones are still applied);
///         -1003 (RxTimeout) after the timeout when the device is absent; an
///         injected status (harness).
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_set_configs(int context, const char* network, uint32_t deviceHash,
                                                                  double timeoutSeconds, const char* values,
                                                                  uint32_t length, bool firstFlag, bool actionFlag,
                                                                  bool reserved);

/// Reads the device's config text: every setting the device holds, one piece
/// each, in ascending ID order: the values stored for it over the factory
/// settings of its model (a device never configured answers with its factory
/// settings; a model without settings with the stored values only).
/// @param values receives a malloc'd NUL-terminated text when the status is 0,
///               else nullptr.
/// @return as c_kvor_zephrin6_set_configs.
[[nodiscard]] ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_get_configs(int context, const char* network, uint32_t deviceHash,
                                                                  double timeoutSeconds, char** values, bool reserved);

/// Releases memory the runtime handed out with malloc: frees `*address` and
/// sets it to nullptr. A null `address` or `*address` is ignored.
/// @return 0.
ZEPHRIN_RUNTIME_API int c_kvor_zephrin6_free_memory(void** address);
}
