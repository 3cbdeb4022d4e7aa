"""Checks that generate_catalogue.py declares each signal ID once, in the
namespace of the models that have it, and refuses a catalogue whose names
cannot all be declared: a signal on a set of models that has no namespace, and
a model's own signal named like one it shares, which would hide the shared ID.
The IDs are made up. Run by ctest (label catalogue) or, in this folder, with:
python3 -m unittest test_generate_catalogue
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import catalogue  # noqa: E402
import check_signal_numbers as check  # noqa: E402
import generate_catalogue as gen  # noqa: E402


def signal(sid, name, models):
    return catalogue.Signal(id=sid, name=name, type="int", units="", default_hz=4.0, report_on_construction=True,
                            models=models, primary_id=sid, mode="")


class NamedIds(unittest.TestCase):
    def test_a_valid_table_declares_every_id_in_its_namespace(self):
        text = gen.render_ids([signal(1, "VersionMajor", catalogue.MODELS),
                               signal(2, "Position", ["rapax q", "rapax w"]),
                               signal(3, "Position", ["angulon"])])
        self.assertIn("namespace rapax {\nusing namespace common;\ninline constexpr uint16_t kPosition = 2;", text)
        self.assertIn("namespace rapax_q {\nusing namespace rapax;\n}", text)
        self.assertIn("namespace angulon {\nusing namespace common;\ninline constexpr uint16_t kPosition = 3;", text)

    def test_a_signal_on_models_without_a_namespace_is_refused(self):
        with self.assertRaisesRegex(catalogue.CatalogueError, r"signal 4 \(Range\): no namespace"):
            gen.render_ids([signal(4, "Range", ["angulon", "distix"])])

    def test_a_model_signal_hiding_a_shared_one_is_refused(self):
        with self.assertRaisesRegex(catalogue.CatalogueError, "kPosition is declared in both rapax_w and rapax"):
            gen.render_ids([signal(2, "Position", ["rapax q", "rapax w"]), signal(5, "Position", ["rapax w"])])


if __name__ == "__main__":
    unittest.main()


class HandWrittenNumbers(unittest.TestCase):
    """What the check of hand-written signal numbers takes for a number (105 and
    106 are no signal IDs, so that this file passes the check itself)."""

    def numbers(self, line):
        return check.NUMBER.findall(line)

    def test_a_plain_number_counts(self):
        self.assertEqual(self.numbers("read signal 105, then 106"), ["105", "106"])
        self.assertEqual(self.numbers("ids (105)"), ["105"])

    def test_numbers_inside_other_text_do_not(self):
        # Negative status codes, decimals, names and hexadecimal digits.
        self.assertEqual(self.numbers("-1002 0.105 k105 105x 1.5e105"), [])

    def test_groups_of_a_number_with_thousands_separators_do_not(self):
        # Instruction counts in prose (3,105 or 1,311,000) are not signal IDs.
        self.assertEqual(self.numbers("3,105 instructions, then 1,311,000"), [])
        self.assertEqual(self.numbers("105,123 samples"), [])
        self.assertEqual(self.numbers("105, 106"), ["105", "106"])

