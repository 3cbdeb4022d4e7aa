"""Loads and checks the signal catalogue (signals.csv beside this file).

Every generator that derives code from the catalogue imports this module, so
the rules of the table are checked in one place: unique IDs, known value types
and models, units that match the value type, fault pairs with IDs N and N + 1,
and mode-dependent signals whose further IDs follow their primary ID. It also
writes the generators' outputs, or with --check reports the stale ones.
"""

import csv
import os
import sys
from dataclasses import dataclass, field

CATALOGUE_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "signals.csv")
ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

# Device models in the order of their bit in the runtime's model mask.
MODELS = ["rapax q", "rapax w", "angulon", "auklet 2", "distix", "portis"]

# Value types with a fixed units text. `double` (mode-dependent signals) takes
# its units per ID from the table; enumerations ("...Value") have none.
UNIT_TYPES = {
    "int": "",
    "bool": "",
    "scalar": None,  # dimensionless: "" or "fractional", chosen per row
    "volt": "V",
    "ampere": "A",
    "celsius": "degC",
    "turn": "turns",
    "turns_per_second": "turns/s",
    "turns_per_second_squared": "turns/s^2",
    "degree": "deg",
    "degrees_per_second": "deg/s",
    "standard_gravity": "g",
    "microtesla": "uT",
    "second": "s",
    "microsecond": "us",
    "meter": "m",
    "newton_meters_per_ampere": "Nm/A",
    "rpm_per_volt": "RPM/V",
}


@dataclass
class Signal:
    id: int
    name: str
    type: str
    units: str
    default_hz: float
    report_on_construction: bool
    models: list
    primary_id: int  # the row's own ID unless it is a further ID of a mode-dependent signal
    mode: str
    further_ids: list = field(default_factory=list)  # filled on primary rows

    @property
    def is_further_id(self):
        return self.primary_id != self.id

    @property
    def model_mask(self):
        return sum(1 << MODELS.index(m) for m in self.models)


class CatalogueError(ValueError):
    pass


def load(path=CATALOGUE_PATH):
    """Returns every row of the catalogue as a Signal, sorted by ID, after
    checking the table's rules; raises CatalogueError naming the bad row."""
    with open(path, newline="", encoding="utf-8") as f:
        lines = [line for line in f if not line.startswith("#")]
    signals = []
    for row in csv.DictReader(lines):
        where = f"signal {row['id']} ({row['name']})"
        models = row["models"].split("|")
        for m in models:
            if m not in MODELS:
                raise CatalogueError(f"{where}: unknown model '{m}'")
        sid = int(row["id"])
        signals.append(Signal(
            id=sid, name=row["name"], type=row["type"], units=row["units"],
            default_hz=float(row["default_hz"]), report_on_construction=row["report_on_construction"] == "1",
            models=models, primary_id=int(row["primary_id"]) if row["primary_id"] else sid, mode=row["mode"]))
    signals.sort(key=lambda s: s.id)
    _check(signals)
    return signals


def _check(signals):
    by_id = {}
    for s in signals:
        where = f"signal {s.id} ({s.name})"
        if s.id in by_id:
            raise CatalogueError(f"{where}: ID used twice")
        if not 0 <= s.id <= 0xFFFF:
            raise CatalogueError(f"{where}: ID out of the 16-bit range")
        by_id[s.id] = s
        if s.type in UNIT_TYPES:
            expected = UNIT_TYPES[s.type]
            if expected is not None and s.units != expected:
                raise CatalogueError(f"{where}: units '{s.units}' do not match type {s.type} ('{expected}')")
        elif s.type == "double":
            if not s.mode:
                raise CatalogueError(f"{where}: a double signal must be mode-dependent")
        elif not s.type.endswith("Value"):
            raise CatalogueError(f"{where}: unknown value type '{s.type}'")
        if s.type.endswith("Value") and s.units:
            raise CatalogueError(f"{where}: an enumeration has no units")
        if s.default_hz < 0:
            raise CatalogueError(f"{where}: negative default frequency")

    for s in signals:
        where = f"signal {s.id} ({s.name})"
        if s.name.startswith("Fault_"):
            twin = by_id.get(s.id + 1)
            if twin is None or twin.name != "Sticky" + s.name or twin.models != s.models:
                raise CatalogueError(f"{where}: needs StickyFault_ twin with ID {s.id + 1} on the same models")
        if s.is_further_id:
            primary = by_id.get(s.primary_id)
            if primary is None or primary.is_further_id:
                raise CatalogueError(f"{where}: primary ID {s.primary_id} is not a primary row")
            expected_next = (primary.further_ids[-1] if primary.further_ids else primary.id) + 1
            if s.id != expected_next:
                raise CatalogueError(f"{where}: further IDs must follow the primary ID consecutively")
            if (s.name, s.type, s.models, s.report_on_construction) != (
                    primary.name, primary.type, primary.models, primary.report_on_construction):
                raise CatalogueError(f"{where}: a further ID must repeat its primary row")
            primary.further_ids.append(s.id)
    for s in signals:
        if s.mode and not s.is_further_id and not s.further_ids:
            raise CatalogueError(f"signal {s.id} ({s.name}): mode-dependent but has no further IDs")


def getters(model, signals=None):
    """The signals a model offers a getter for (primary rows only), by ID."""
    signals = signals if signals is not None else load()
    return [s for s in signals if model in s.models and not s.is_further_id]


def write_outputs(files, script, check):
    """Writes each generated file whose text changed ({path under the source
    root: text}); with `check`, writes nothing and reports the stale ones
    instead. Returns the exit status of the generator `script`."""
    stale = []
    for rel, text in files.items():
        path = os.path.join(ROOT, rel)
        current = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if current == text:
            continue
        if check:
            stale.append(rel)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
    if stale:
        print(f"stale generated files (run tools/catalogue/{script}):", *stale, sep="\n  ", file=sys.stderr)
        return 1
    return 0
