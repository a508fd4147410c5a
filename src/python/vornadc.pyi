"""The ADC light-source controller from Python (type stub of the compiled module).

Times in milliseconds, wavelengths in nm, DA counts 0..4095. One link per
process; every exchange releases the GIL and waits for any other thread's
exchange to finish first.
"""

import os
from types import TracebackType
from typing import (
    Callable,
    List,
    Literal,
    NamedTuple,
    Optional,
    Sequence,
    Tuple,
    Type,
    Union,
    overload,
)

__version__: str

class DeviceError(Exception):
    """The controller did not answer, refused, or the link failed; str() is the
    reason vornadc-cli gives. From define_protocol, protocol holds the
    corrected Protocol; otherwise None."""

    protocol: Optional["Protocol"]

class PortError(DeviceError, OSError):
    """The port could not be opened, another Controller holds the link, or
    this Controller is closed. str() is one line naming the port; filename is
    the port, errno and strerror the system's where it gave one."""

class NoReplyError(DeviceError, TimeoutError):
    """The controller sent no reply in time."""

class SweepStopped(DeviceError):
    """Controller.stop() ended the sweep."""

class Protocol(NamedTuple):
    """The alternating protocol as the Wavelength Protocol tab shows it."""

    ct: float  # cycle time, ms
    dt: float  # dead time, ms
    it1: float  # integration time at wavelength 1, ms
    it2: float  # integration time at wavelength 2, ms
    wl0: int  # resting wavelength, nm
    wl1: int  # nm
    wl2: int  # nm; equal to wl1 in single-wavelength mode
    single_wavelength: bool = False

class Calibration(NamedTuple):
    """The controller's two-point calibration."""

    low_wavelength: int  # nm
    low_counts: int  # DA counts
    high_wavelength: int  # nm
    high_counts: int  # DA counts

class WavelengthOutcome(NamedTuple):
    """What the Set Wavelength tab shows after a Set."""

    wavelength: int  # sent, clamped into the range, nm
    confirmed: bool  # the reply held "WL,0!"
    reply: str  # '' when none came
    status: str  # the tab's status line

class Band(NamedTuple):
    """One band of a three-band sweep."""

    counts: int  # DA counts of the band's centre
    intensity: int  # reading at the raw peak
    wavelength: int  # nm; a 0 given is worked out from the other two

class PeakSweep(NamedTuple):
    """The outcome of Controller.sweep()."""

    counts: int  # the refined peak
    readings: List[int]  # one per sample

class BandSweep(NamedTuple):
    """The outcome of Controller.sweep_bands()."""

    low: Band
    middle: Band
    high: Band
    readings: List[int]  # one per sample

class PortInfo(NamedTuple):
    """A port and what is known of it, as vornadc-cli ports --long prints it."""

    name: str  # what connect() takes
    description: str  # '' where not known
    manufacturer: str
    serial_number: str
    vendor_product: str  # "vvvv:pppp" in hex
    link_target: str  # the port a /dev/serial/by-id/ name points to

class Controller:
    """An open link to the controller, made by connect(); a context manager."""

    @property
    def port(self) -> str: ...
    @property
    def mode(self) -> str: ...
    @property
    def closed(self) -> bool: ...
    def close(self) -> None: ...
    def stop(self) -> None:
        """Ends this Controller's running sweep before its next probe (SweepStopped)."""
    def __enter__(self) -> "Controller": ...
    def __exit__(
        self,
        exc_type: Optional[Type[BaseException]],
        exc: Optional[BaseException],
        traceback: Optional[TracebackType],
    ) -> None: ...
    def version(self) -> Optional[str]:
        """The version line, or None when the controller does not answer."""
    def wavelength_range(self) -> Tuple[int, int]:
        """(min, max) in nm."""
    def set_wavelength(self, nm: int, check: bool = True) -> WavelengthOutcome:
        """Moves to nm clamped into the range; a refusal raises DeviceError
        (NoReplyError without a reply), or with check=False is an outcome."""
    def send(self, text: str) -> str:
        """A raw command (";" added); the reply line, or DeviceError("No reply").

        ValueError for an empty text or one that holds CR or LF."""
    def reactivate(self) -> None:
        """RS: (re)starts the protocol."""
    def read_protocol(self) -> Protocol: ...
    def define_protocol(
        self,
        ct: float,
        dt: float,
        it1: float,
        it2: float,
        wl0: int,
        wl1: int,
        wl2: int,
        single_wavelength: bool = False,
    ) -> Protocol:
        """Checks, converts and sends; DeviceError(reason) with .protocol corrected."""
    def read_calibration(self) -> Calibration: ...
    def write_calibration(
        self, low_wavelength: int, low_counts: int, high_wavelength: int, high_counts: int
    ) -> None: ...
    def probe(self, counts: int) -> int:
        """The reading of analogue channel 1 at counts (0..4095)."""
    def sweep(
        self, samples: int = 1024, progress: Optional[Callable[[int, int], object]] = None
    ) -> PeakSweep: ...
    def sweep_bands(
        self,
        samples: int = 256,
        wavelengths: Sequence[int] = (0, 0, 0),
        progress: Optional[Callable[[int, int], object]] = None,
    ) -> BandSweep: ...

@overload
def ports(long: Literal[False] = False) -> List[str]: ...
@overload
def ports(long: Literal[True]) -> List[PortInfo]: ...
@overload
def ports(long: bool) -> Union[List[str], List[PortInfo]]:
    """The port names vornadc-cli ports prints, in its order; with long=True,
    a PortInfo for each."""

def connect(
    port: str = "SIM",
    mode: str = "",
    check: bool = True,
    log: Union[str, "os.PathLike[str]", None] = None,
) -> Controller:
    """Opens port with the handshake; PortError when it cannot be opened or a
    Controller is already open, NoReplyError (with check) when nothing
    answers the handshake."""

def disconnect() -> None:
    """Closes the open link, whichever Controller holds it."""
