"""The type stubs editors read describe the package as it is: every public
name of every module and class, and nothing that is not there."""

import ast
import importlib
import pathlib

import pytest

import zephrin6

PACKAGE = pathlib.Path(zephrin6.__file__).parent
STUBS = {
    "zephrin6": "__init__.pyi",
    "zephrin6.swerve": "swerve/__init__.pyi",
    "zephrin6.swerve.requests": "swerve/requests.pyi",
    "zephrin6.sim": "sim.pyi",
    "zephrin6.logging": "logging/__init__.pyi",
    "zephrin6.logging.replay": "logging/replay.pyi",
}


def stub_classes(tree):
    """Name -> (base names, member names) of the stub's classes."""
    classes = {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            members = set()
            for item in node.body:
                if isinstance(item, (ast.FunctionDef, ast.AsyncFunctionDef)):
                    members.add(item.name)
                elif isinstance(item, ast.AnnAssign) and isinstance(item.target, ast.Name):
                    members.add(item.target.id)
                elif isinstance(item, ast.Assign):
                    members.update(t.id for t in item.targets if isinstance(t, ast.Name))
            classes[node.name] = ([b.id for b in node.bases if isinstance(b, ast.Name)], members)
    return classes


def stub_members(classes, name):
    """The members of stub class `name`, with those of its bases in the stub."""
    bases, members = classes.get(name, ([], set()))
    members = set(members)
    for base in bases:
        members |= stub_members(classes, base)
    return members


def stub_names(tree):
    """The names the stub's __all__ lists."""
    for node in tree.body:
        if isinstance(node, ast.Assign) and any(getattr(t, "id", None) == "__all__" for t in node.targets):
            return set(ast.literal_eval(node.value))
    return set()


@pytest.mark.parametrize("module_name", sorted(STUBS))
def test_stub_matches_module(module_name):
    module = importlib.import_module(module_name)
    tree = ast.parse((PACKAGE / STUBS[module_name]).read_text())
    assert stub_names(tree) == set(module.__all__)
    classes = stub_classes(tree)
    for name in module.__all__:
        value = getattr(module, name)
        if not isinstance(value, type):
            continue
        assert name in classes, f"{module_name}.{name} has no stub"
        members = stub_members(classes, name)
        if hasattr(value, "__members__"):  # an enumeration: its enumerators
            assert set(value.__members__) == members - {"name", "value"}, name
            continue
        actual = {m for m in dir(value) if not m.startswith("_")}
        if value is zephrin6.StatusCode:
            # Every name of the status table is a class attribute too.
            def named(m):
                return isinstance(getattr(value, m, None), zephrin6.StatusCode)
            actual = {m for m in actual if not named(m)}
            members = {m for m in members if not named(m)}
        assert actual == {m for m in members if not m.startswith("_")}, name
