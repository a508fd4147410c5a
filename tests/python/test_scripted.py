"""vornadc against a controller scripted in the test: the exact bytes of a few
operations, and the error paths."""

import errno
import fcntl
import math
import os
import signal
import subprocess
import sys
import threading
import time

import pytest
import vornadc
from pty_controller import HANDSHAKE, HANDSHAKE_BYTES, PtyController, probing


def test_operations_send_the_links_bytes():
    replies = {**HANDSHAKE, **{
        b"WL,680;\r\n": b"WL,0!\r\n",
        b"WL,500;\r\n": b"WL,1!\r\n",
        b"RP;\r\n": b"1,2,\xff\x00!\r\n",
        b"PD,30,200,200,4540,380,400,500;\r\n": b"PD,0!\r\n",
        b"PD,30,155,2814,380,400;\r\n": b"PD,0!\r\n",
        b"PD,30,200,200,4540,380,400,600;\r\n": b"PD,1!\r\n",
        b"WC,300,410,600,3650;\r\n": b"WC,0!\r\n",
        b"RC;\r\n": b"RC;300,410,600,3650\r\n",
        b"WA,1,2048;\r\n": b"WA,0!\r\n",
        b"RA,1;\r\n": b"RA,1,1234\r\n",
        b"XY;\r\n": b"XY;\r\nok \xe9\r\n",
    }}
    with PtyController(replies.get) as controller, vornadc.connect(controller.path) as adc:
        assert adc.wavelength_range() == (380, 680)
        assert adc.set_wavelength(900) == (680, True, "WL,0!", " Wavelength is set to  :  680 nm")
        assert adc.set_wavelength(500, check=False).confirmed is False
        with pytest.raises(vornadc.DeviceError, match="^ ERROR: Wavelength could not be set! $") \
                as refused:
            adc.set_wavelength(500)
        # A refusal is no time-out; reply bytes in an error text read as Latin-1.
        with pytest.raises(vornadc.DeviceError, match="^Wrong answer:\n1,2,\xff\x00!$") as wrong:
            adc.read_protocol()
        assert not any(isinstance(e, TimeoutError) for e in (refused.value, wrong.value))
        assert adc.define_protocol(500, 3, 20, 20, 200, 400, 500) == (
            500, 3, 20, 20, 380, 400, 500, False)
        # One wavelength: it2 and wl2 are not sent; times truncate to tenths.
        assert adc.define_protocol(300, 3, 15.55, 9, 380, 400, 0, True) == pytest.approx(
            (299.9, 3, 15.5, 0, 380, 400, 400, True))
        with pytest.raises(vornadc.DeviceError, match="ADC doesn't accept parameters!") as refused:
            adc.define_protocol(500, 3, 20, 20, 0, 400, 600)
        assert refused.value.protocol == (500, 3, 20, 20, 380, 400, 600, False)  # as sent
        adc.write_calibration(300, 410, 600, 3650)
        assert adc.read_calibration() == (300, 410, 600, 3650)
        assert adc.probe(2048) == 1234
        assert adc.send("XY") == "ok \xe9"  # echo line dropped, bytes kept
    assert bytes(controller.received) == (
        HANDSHAKE_BYTES + b"WL,680;\r\n" + b"WL,500;\r\n" * 2 + b"RP;\r\n" + b"PD,30,200,200,4540,380,400,500;\r\n"
        + b"PD,30,155,2814,380,400;\r\n" + b"PD,30,200,200,4540,380,400,600;\r\n"
        + b"WC,300,410,600,3650;\r\n" + HANDSHAKE_BYTES + b"RC;\r\n"
        + b"WA,1,2048;\r\nRA,1;\r\n" + b"XY;\r\n")


def test_bad_arguments_and_checks_send_nothing():
    with PtyController(HANDSHAKE.get) as controller, vornadc.connect(controller.path) as adc:
        for call, error in [
            (lambda: adc.probe(-1), ValueError),
            (lambda: adc.probe(4096), ValueError),
            (lambda: adc.probe(2**31), ValueError),
            (lambda: adc.probe(1.5), TypeError),
            (lambda: adc.sweep_bands(16, (1.5, 2, 3)), TypeError),
            (lambda: adc.sweep_bands(16, (None, 2, 3)), TypeError),
            (lambda: adc.sweep_bands(16, (2**40, 0, 0)), ValueError),
            (lambda: vornadc.Controller.__new__(vornadc.Controller).mode, TypeError),
            (lambda: adc.send(""), ValueError),
            (lambda: adc.send("SF,450\n"), ValueError),
            (lambda: adc.send("ID\rRC"), ValueError),
            (lambda: adc.send("\u20ac"), UnicodeEncodeError),
            (lambda: adc.set_wavelength(2**31), ValueError),
            (lambda: adc.define_protocol(math.nan, 3, 20, 20, 400, 400, 500), ValueError),
            (lambda: adc.sweep(progress=5), TypeError),
            (lambda: adc.sweep_bands(wavelengths=(400, 500)), ValueError),
        ]:
            with pytest.raises(error):
                call()
        # The cycle check and the link's checks correct and explain, unsent.
        for given, reason, corrected in [
            ((45.9, 3, 20, 20, 400, 400, 500), "Invalid cycle time corrected!",
             (46, 3, 20, 20, 400, 400, 500, False)),
            ((500, 1, 1, 20, 400, 400, 500), "Sum of dt and it1 too small",
             (502, 2, 1, 20, 400, 400, 500, False)),
            ((500, 3, 20, 20, 100, 400, 700), "Wavelength 2 out of range",
             (500, 3, 20, 20, 380, 400, 680, False)),
        ]:
            with pytest.raises(vornadc.DeviceError, match=reason) as raised:
                adc.define_protocol(*given)
            assert raised.value.protocol == pytest.approx(corrected)
    assert bytes(controller.received) == HANDSHAKE_BYTES


def test_a_silent_controller_gives_the_cli_reasons_as_time_outs():
    with PtyController(HANDSHAKE.get) as answering:
        vornadc.connect(answering.path).close()  # learns (380, 680)
    with PtyController(lambda line: None) as controller:
        with pytest.raises(vornadc.NoReplyError, match="no answer to the connection handshake"):
            vornadc.connect(controller.path)
        adc = vornadc.connect(controller.path, check=False)  # nothing was left held
        assert adc.wavelength_range() == (380, 680)  # kept from the earlier link
        assert adc.version() is None
        assert adc.set_wavelength(300, check=False).confirmed is False
        for call, reason in [
            (lambda: adc.set_wavelength(300), " ERROR: No response from the the ADC/QMB !!"),
            (adc.read_protocol, "Error reading!"),
            (lambda: adc.send("ID"), "No reply"),
            (lambda: adc.write_calibration(300, 410, 600, 3650), "No answer"),
            (adc.read_calibration, "No calibration read from the ADC"),
            (lambda: adc.probe(0), "No reading of analogue channel 1"),
            (lambda: adc.sweep(samples=16), "Error in calibration"),
        ]:
            with pytest.raises(vornadc.NoReplyError) as raised:
                call()
            assert str(raised.value) == reason and raised.value.protocol is None
            assert isinstance(raised.value, TimeoutError)
        adc.close()


def test_a_busy_port_is_an_oserror_with_ebusy_naming_the_port():
    with PtyController(HANDSHAKE.get) as controller:
        holder = os.open(controller.path, os.O_RDWR | os.O_NOCTTY)
        try:
            fcntl.flock(holder, fcntl.LOCK_EX)
            with pytest.raises(OSError) as raised:
                vornadc.connect(controller.path)
        finally:
            os.close(holder)
    assert isinstance(raised.value, vornadc.PortError)
    assert (raised.value.errno, raised.value.filename) == (errno.EBUSY, controller.path)
    assert str(raised.value) == controller.path + ": Port Initialisation Error: " \
        + os.strerror(errno.EBUSY)


class Stop(Exception):
    pass


def test_a_sweep_stops_after_the_probe_whose_progress_raised():
    calls = []

    def progress(done, total):
        calls.append((done, total))
        raise Stop

    with PtyController(probing) as controller, vornadc.connect(controller.path) as adc:
        with pytest.raises(Stop):
            adc.sweep(samples=4096, progress=progress)
        probed = controller.received.count(b"WA,")  # each was answered, so each is in
        # Calling back into the Controller from progress would wait for itself.
        with pytest.raises(RuntimeError, match="progress callback"):
            adc.sweep_bands(samples=16, progress=lambda done, total: adc.probe(0))
        assert adc.probe(4095) == 100  # the link is still in step
    [(done, total)] = calls
    assert total == 4096 and probed == done


def test_stop_ends_a_sweep_on_another_thread_after_the_probe_under_way():
    served, outcome = [], []

    def stopping(line):
        served.append(line)
        if len(served) == 41:  # the WA of a probe: that probe still completes
            adc.stop()
        return probing(line)

    def sweep():
        try:
            adc.sweep(4096)
        except vornadc.SweepStopped as stopped:
            outcome.append(stopped)

    with PtyController(stopping) as controller, vornadc.connect(controller.path) as adc:
        adc.stop()  # no sweep runs: nothing to stop
        thread = threading.Thread(target=sweep)
        thread.start()
        thread.join()
        assert adc.probe(4095) == 100  # in step
        assert isinstance(outcome[0], vornadc.DeviceError)
    assert served[40].startswith(b"WA,")
    assert controller.received.count(b"WA,") == served[:41].count(b"RA,1;\r\n") + 1 + 1


def sweeping(controller, adc):
    """A thread that sweeps 4096 samples, started once its sweep has begun;
    thread.outcome is what the sweep raised (or None)."""
    thread = threading.Thread()

    def sweep():
        try:
            adc.sweep(4096)
            thread.outcome = None
        except Exception as raised:
            thread.outcome = raised

    thread.run = sweep
    thread.start()
    while controller.received.count(b"WA,") < 5:
        time.sleep(0.01)
    return thread


def test_ctrl_c_ends_a_wait_for_the_lock_while_another_thread_sweeps():
    with PtyController(probing) as controller, vornadc.connect(controller.path) as adc:
        thread = sweeping(controller, adc)
        threading.Timer(0.1, os.kill, (os.getpid(), signal.SIGINT)).start()
        with pytest.raises(KeyboardInterrupt):
            adc.close()
        assert thread.is_alive()  # the wait ended, not the sweep
        adc.stop()
        thread.join()
        assert isinstance(thread.outcome, vornadc.SweepStopped)


def test_ctrl_c_stops_a_sweep():
    served = []

    def interrupting(line):
        served.append(line)
        if len(served) == 20:
            os.kill(os.getpid(), signal.SIGINT)
        return probing(line)

    with PtyController(interrupting) as controller, vornadc.connect(controller.path) as adc:
        with pytest.raises(KeyboardInterrupt):
            adc.sweep(samples=4096)
        probes = controller.received.count(b"WA,")
    assert 9 <= probes < 4096


@pytest.mark.parametrize("progress", ["None", "lambda done, total: None"])
@pytest.mark.parametrize("port", ["controller.path", "'SIM'"])
def test_python_exits_cleanly_while_a_daemon_thread_sweeps(port, progress):
    script = ("import atexit, threading, time, pty_controller as pty\n"
              "controller = pty.PtyController(pty.probing).__enter__()\n"
              "atexit.register(lambda: print(controller.received.count(b'WA,')))\n"
              "import vornadc  # its own exit handler runs before the one above\n"
              f"adc = vornadc.connect({port})\n"
              f"threading.Thread(target=adc.sweep, args=(4096, {progress}), daemon=True).start()\n"
              "time.sleep(0.05)\n")
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(
        [os.path.dirname(__file__), os.environ.get("PYTHONPATH", "")]))
    for _ in range(3):  # an unclean end showed in about half the runs
        ended = subprocess.run([sys.executable, "-c", script], env=environment,
                               capture_output=True, text=True)
        assert (ended.returncode, ended.stderr) == (0, "")  # no traceback from the thread
        assert int(ended.stdout) < 4096  # the sweep was stopped, not waited for


def test_a_child_forked_while_a_thread_sweeps_finds_the_lock_free():
    with PtyController(probing) as controller, vornadc.connect(controller.path) as adc:
        thread = sweeping(controller, adc)
        child = os.fork()
        if child == 0:
            os._exit(0 if adc.wavelength_range() == (380, 680) else 1)
        for _ in range(500):
            ended, status = os.waitpid(child, os.WNOHANG)
            if ended:
                break
            time.sleep(0.01)
        else:
            os.kill(child, signal.SIGKILL)
            os.waitpid(child, 0)
        adc.stop()
        thread.join()
    assert ended and os.waitstatus_to_exitcode(status) == 0


def test_two_threads_never_interleave_their_commands():
    wrong = []

    def talk(adc, name):
        for i in range(100):
            command = f"{name}{i}"
            if adc.send(command) != command + "!":
                wrong.append(command)

    def repeat(line):
        return HANDSHAKE.get(line) or line.replace(b";", b"!")

    with PtyController(repeat) as controller, vornadc.connect(controller.path) as adc:
        threads = [threading.Thread(target=talk, args=(adc, name)) for name in "AB"]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
    assert wrong == []
    assert controller.received.count(b"A") == controller.received.count(b"B") == 100
