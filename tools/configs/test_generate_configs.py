"""Checks that generate_configs.py refuses a broken table with the line at
fault, and writes the expected files for a valid one. Run by ctest (label
configs) or, in this folder, with: python3 -m unittest test_generate_configs
"""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import generate_configs as gen  # noqa: E402

# A small valid table with every kind of block and row; each case below
# breaks one line of it.
VALID = """\
enum NeutralModeValue: what the motor does when its output is neutral.
  0  Coast  Spins down freely.
  1  Brake  Resists motion.

group MotorOutput: the output stage.
  NeutralMode               NeutralModeValue  -           Coast  MotorOutput_NeutralMode
      What the motor does when its output is neutral.
  DutyCycleNeutralDeadband  double            fractional  0.0    MotorOutput_DutyCycleNeutralDeadband
      Duty cycles closer to zero than this are neutral.
  RemoteID                  int               -           0      MotorOutput_PeakForwardDutyCycle
      A device ID.
  shortcut  WithBrake  CoreRapaxQ  NeutralMode=Brake  RemoteID  Brakes.

configuration RapaxQ "rapax q": a rapax q motor controller
  groups  MotorOutput

configurator RapaxQ: applies configuration groups to a rapax q.
  configuration  RapaxQ
  groups         MotorOutput
  action         SetPosition  turn  SetPosition
      Sets the position.
  clears         rapax q
"""


class ConfigTableChecks(unittest.TestCase):
    def load(self, text):
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, encoding="utf-8") as f:
            f.write(text)
        self.addCleanup(os.remove, f.name)
        table = gen.parse(f.name)
        gen.check(table)
        return table

    def test_a_broken_line_is_refused_with_its_line(self):
        # (what is broken, the text replaced, its replacement, a word of the message); the
        # error must name the line where the replaced text starts.
        cases = [
            ("unknown config ID", "MotorOutput_NeutralMode\n", "MotorOutput_NeutralMod\n", "not a setting"),
            ("default that is no enumerator", "Coast  MotorOutput", "Drift  MotorOutput", "not an enumerator"),
            ("unknown enumeration", "NeutralModeValue  -", "NeutralModValue   -", "unknown enumeration"),
            ("non-finite default", "fractional  0.0 ", "fractional  inf ", "finite"),
            ("bool default", "int               -           0 ", "bool              -           1 ",
             "true or false"),
            ("unit on an int", "int               -  ", "int               V  ", "only numbers carry a unit"),
            ("field without doc", "MotorOutput_PeakForwardDutyCycle\n      A device ID.\n",
             "MotorOutput_PeakForwardDutyCycle\n", "needs a doc"),
            ("two fields under one ID", "group MotorOutput", "group MotorOutput",
             "config ID twice"),  # made by the replacement below
            ("repeated enumerator number", "  1  Brake", "  0  Brake", "repeats an enumerator number"),
            ("enumerator without doc", "  1  Brake  Resists motion.", "  1  Brake", "number, name, doc"),
            ("shortcut from a number", "NeutralMode=Brake", "RemoteID=Brake", "not an enumeration field"),
            ("shortcut to a non-enumerator", "NeutralMode=Brake", "NeutralMode=Hold", "not an enumerator"),
            ("unknown group in a configuration", "  groups  MotorOutput\n", "  groups  MotorOutpt\n",
             "unknown group"),
            ("unknown action ID", "  action         SetPosition  turn  SetPosition",
             "  action         SetPosition  turn  SetPositon", "not an action"),
            ("unknown model", "  clears         rapax q", "  clears         rapax z", "unknown model"),
            ("misspelt row kind", "  shortcut  WithBrake", "  shortcat  WithBrake", "unknown type"),
            ("tab", "  NeutralMode  ", "  NeutralMode\t ", "tabs"),
        ]
        for name, old, new, message in cases:
            with self.subTest(name):
                self.assertIn(old, VALID)
                text = VALID.replace(old, new, 1)
                if name == "two fields under one ID":
                    text = text.replace("MotorOutput_PeakForwardDutyCycle", "MotorOutput_NeutralMode")
                line = VALID[:VALID.index(old)].count("\n") + 1
                with self.assertRaises(gen.TableError) as raised:
                    self.load(text)
                self.assertIn(f":{line}: ", str(raised.exception))
                self.assertIn(message, str(raised.exception))

    def test_a_configurator_cannot_be_its_own_base(self):
        with self.assertRaises(gen.TableError) as raised:
            self.load(VALID + "  base  RapaxQ\n")
        self.assertIn("its own base", str(raised.exception))

    def test_a_valid_table_gives_every_file(self):
        files = gen.render(self.load(VALID))
        for rel in ("include/kvor/zephrin6/signals/NeutralModeValue.hpp",
                    "src/signals/values/generated/ValueEnumerations.cpp",
                    "include/kvor/zephrin6/configs/RapaxQConfiguration.hpp",
                    "src/configs/generated/RapaxQConfigurator.cpp",
                    "tests/configs/generated/ConfigMembers.hpp"):
            self.assertIn(rel, files)
        header = files["include/kvor/zephrin6/configs/MotorOutputConfigs.hpp"]
        self.assertIn("  /// Duty cycles closer to zero than this are neutral. Default 0.0 fractional.\n"
                      "  double DutyCycleNeutralDeadband = 0.0;\n", header)
        source = files["src/configs/generated/MotorOutputConfigs.cpp"]
        self.assertIn("  NeutralMode = signals::NeutralModeValue::Brake;\n  RemoteID = device.GetDeviceID();", source)
        # The faults a configurator clears come from the signal catalogue.
        configurator = files["src/configs/generated/RapaxQConfigurator.cpp"]
        self.assertIn("KVOR_CONFIGURATOR_CLEAR(RapaxQConfigurator, ClearStickyFault_Hardware)", configurator)
        self.assertIn("KVOR_CONFIGURATOR_CLEAR(RapaxQConfigurator, ClearStickyFaults)", configurator)


if __name__ == "__main__":
    unittest.main()
