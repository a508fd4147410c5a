"""Each script under examples/ runs on SIM and says what it did."""

import csv
import os
import re
import subprocess
import sys

import pytest

EXAMPLES = os.environ["VORNADC_EXAMPLES"]


def run(script, *arguments, hide_matplotlib=False, answers=None, fails=False):
    path = os.path.join(EXAMPLES, script)
    # Without matplotlib: an import of it fails, as when it is not installed.
    code = ("import runpy, sys; sys.modules['matplotlib'] = None; sys.argv = sys.argv[1:];"
            " runpy.run_path(sys.argv[0], run_name='__main__')")
    command = [sys.executable] + (["-c", code] if hide_matplotlib else []) + [path, *arguments]
    done = subprocess.run(command, capture_output=True, text=True, timeout=60, input=answers)
    assert (done.returncode != 0) == fails, done.stderr
    return done.stdout + done.stderr if fails else done.stdout


def test_alternating_protocol():
    out = run("alternating_protocol.py")
    assert out == ("controller: ADC-SIM 1.0\nrunning: Protocol(ct=500.0, dt=3.0, it1=20.0,"
                   " it2=20.0, wl0=240, wl1=340, wl2=380, single_wavelength=False)\n")


def test_two_point_calibration_stores_the_two_peaks():
    out = run("two_point_calibration.py", "SIM", "350", "600")
    low, high = (int(c) for c in re.findall(r"filter: peak at (\d+) counts", out))
    assert (f"after:  Calibration(low_wavelength=350, low_counts={low}, high_wavelength=600,"
            f" high_counts={high})") in out
    assert "range:  (240, 699)" not in out  # the range came from the new calibration


def test_two_point_calibration_writes_nothing_for_the_same_filter_twice():
    sim = subprocess.Popen([os.environ["VORNADC_SIM"], "--filter", "450"], stdout=subprocess.PIPE,
                           text=True)
    try:
        port = sim.stdout.readline().strip()
        # A real port: the script asks for each filter, and Enter twice keeps the one in.
        out = run("two_point_calibration.py", port, "400", "600", answers="\n\n", fails=True)
    finally:
        sim.terminate()
        sim.wait()
    assert "after:" not in out
    low, high = re.findall(r"filter: peak at (\d+) counts", out)
    assert f"not written: peaks at {low} and {high} counts make no line for 400 and 600" in out


@pytest.mark.parametrize("hide_matplotlib", [False, True])
def test_band_sweep_plots_or_saves_csv(tmp_path, hide_matplotlib):
    if not hide_matplotlib:
        pytest.importorskip("matplotlib")
    output = tmp_path / ("bands.csv" if hide_matplotlib else "bands.png")
    out = run("band_sweep_plot.py", "SIM", str(output), hide_matplotlib=hide_matplotlib)
    assert re.search(r"^middle +\d+ counts  (49[5-9]|50[0-5]) nm", out, re.M) and "swept 256 of 256" in out
    if hide_matplotlib:
        rows = list(csv.reader(output.open()))
        assert rows[0] == ["counts", "reading"] and len(rows) == 257 and rows[-1][0] == "4080"
    else:
        assert output.read_bytes().startswith(b"\x89PNG")
