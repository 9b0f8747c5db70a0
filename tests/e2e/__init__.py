"""Programs under test on private desktops, seen and driven from outside as a person would.
Shared by the end-to-end tests and the benchmark; import it with the tests folder on
PYTHONPATH."""
