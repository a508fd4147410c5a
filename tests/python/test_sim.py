"""vornadc against SIM, the simulated controller built into the library."""

import ast
import errno
import gc
import os
import subprocess
import sys
import time
from pathlib import Path

import pytest
import vornadc


@pytest.fixture
def adc():
    with vornadc.connect() as controller:
        yield controller


def test_ports_are_the_clis_in_its_order():
    listed = subprocess.run([os.environ["VORNADC_CLI"], "ports"], capture_output=True,
                            text=True, check=True).stdout.splitlines()
    assert vornadc.ports() == listed
    assert listed[-1] == "SIM"
    detailed = subprocess.run([os.environ["VORNADC_CLI"], "ports", "--long"],
                              capture_output=True, text=True, check=True).stdout.splitlines()
    assert [tuple(info[:5]) for info in vornadc.ports(long=True)] == \
        [tuple(line.split("\t")) for line in detailed]
    assert vornadc.ports(long=True)[-1].description == "built-in simulated controller"


def test_a_failed_open_closes_what_it_opened_so_a_retry_works():
    for port, mode, reason, number in [
        ("/dev/null", "", "/dev/null: Unable to apply parameters: ", errno.ENOTTY),  # opened, refused
        ("/dev/vornadc-none", "", "/dev/vornadc-none: Port Initialisation Error: No such file",
         errno.ENOENT),
        ("SIM", "baud=fast", "SIM: invalid parameter", None),
    ]:
        with pytest.raises(vornadc.PortError) as raised:
            vornadc.connect(port, mode)
        assert str(raised.value).startswith(reason) and "\n" not in str(raised.value)
        assert (raised.value.errno, raised.value.filename) == (number, port)
        with vornadc.connect() as adc:
            assert adc.mode == "baud=19200 parity=N data=8 stop=1"


def test_one_link_per_process():
    adc = vornadc.connect()
    with pytest.raises(vornadc.PortError, match="Port SIM is already open"):
        vornadc.connect("/dev/ttyS0")
    adc.close()
    with vornadc.connect() as second:
        with pytest.raises(vornadc.PortError, match="closed"):
            adc.probe(0)  # a closed Controller does not reach the new link
        assert second.probe(0) >= 0
        # Nor does its stop() reach the new link's sweep.
        assert len(second.sweep(4096, progress=lambda done, total: adc.stop()).readings) == 4096
    assert adc.closed and second.closed
    forgotten = vornadc.connect()
    del forgotten  # dropping the last reference closes the link
    gc.collect()
    kept = vornadc.connect()  # as by a traceback that keeps it
    with pytest.raises(vornadc.PortError, match="vornadc.disconnect()"):
        vornadc.connect()
    vornadc.disconnect()
    assert kept.closed
    with pytest.raises(vornadc.PortError, match="closed"):
        kept.probe(0)
    vornadc.disconnect()  # nothing open: nothing to do
    vornadc.connect().close()


def test_protocol_round_trip_in_milliseconds(adc):
    assert adc.version() == "ADC-SIM 1.0"
    sent = adc.define_protocol(ct=300, dt=3, it1=15.5, it2=99, wl0=240, wl1=450, wl2=0,
                               single_wavelength=True)
    assert sent == (300, 3, 15.5, 0, 240, 450, 450, True)
    assert adc.read_protocol() == sent
    adc.define_protocol(*vornadc.Protocol(500, 3, 20, 20, 240, 340, 380))
    assert adc.read_protocol() == (500, 3, 20, 20, 240, 340, 380, False)


def test_sweep_samples_are_normalised_as_the_tabs_do(adc):
    for samples, taken in [(15, 16), (17, 16), (18, 18), (5001, 4096)]:
        calls = []
        start = time.monotonic()
        result = adc.sweep(samples, progress=lambda *call: calls.append(call))
        elapsed = time.monotonic() - start
        assert len(result.readings) == taken
        # At most every 50 ms, and after the last probe.
        assert calls[-1] == (taken, taken) and len(calls) <= elapsed / 0.05 + 1
        assert [done for done, _ in calls] == sorted({done for done, _ in calls})


def test_sweeps_find_the_filters_bands(adc):
    adc.send("SF,450")
    try:
        # SIM's light source shows 450 nm at about 1848 counts.
        assert abs(adc.sweep().counts - 1848) <= 8
        adc.send("SF,400,500,600")
        low, middle, high, readings = adc.sweep_bands(wavelengths=[400, 0, 600])
    finally:
        adc.send("SF")
    assert len(readings) == 256
    assert low.counts < middle.counts < high.counts
    assert (low.wavelength, high.wavelength) == (400, 600)
    assert abs(middle.wavelength - 500) <= 5  # the line through the other two


def test_the_conversation_goes_to_the_log_until_the_link_closes(tmp_path):
    log = tmp_path / "adc.log"
    with vornadc.connect(log=log) as adc:
        adc.probe(2048)
    vornadc.connect().close()
    lines = log.read_text().splitlines()
    assert [line.split(" ", 3)[2:] for line in lines[:2]] == [["sent", "RC,1;\\r\\n"],
                                                              ["received-lf", "(240,699)\\r\\n"]]
    assert lines[-2].endswith(" sent RA,1;\\r\\n") and " received-lf RA,1," in lines[-1]
    with pytest.warns(RuntimeWarning, match="nowhere"):
        vornadc.connect(log=tmp_path / "nowhere" / "adc.log").close()


def test_version_is_the_builds():
    assert vornadc.__version__ == os.environ["VORNADC_VERSION"]


def test_the_stub_names_what_the_module_has():
    stub = ast.parse((Path(vornadc.__file__).parent / "vornadc.pyi").read_text())
    classes = {node.name: node for node in stub.body if isinstance(node, ast.ClassDef)}
    functions = {node.name for node in stub.body if isinstance(node, ast.FunctionDef)}
    public = {name for name in dir(vornadc) if not name.startswith("_")}
    assert public == set(classes) | functions
    methods = {node.name for node in classes["Controller"].body
               if isinstance(node, ast.FunctionDef)}
    assert methods == {name for name in dir(vornadc.Controller)
                       if not name.startswith("_")} | {"__enter__", "__exit__"}
    for name in public:
        assert getattr(vornadc, name).__doc__, name


def test_the_stub_passes_stubtest_and_mypy_types_calls_with_it(tmp_path):
    here = Path(__file__).parent
    environment = dict(os.environ, MYPYPATH=str(Path(vornadc.__file__).parent))
    for command in [["mypy.stubtest", "vornadc", "--allowlist", here / "stubtest_allowlist.txt"],
                    ["mypy", "--strict", here / "typed_usage.py"]]:
        # Both keep their cache in the working folder.
        checked = subprocess.run([sys.executable, "-m", *command], cwd=tmp_path, env=environment,
                                 capture_output=True, text=True)
        assert checked.returncode == 0, checked.stdout + checked.stderr
