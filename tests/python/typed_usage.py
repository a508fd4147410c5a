"""Calls that mypy --strict must pass against the stub: any call it typed as
Any, or a stub it could not find, fails the check."""

import vornadc


def first_reading(detailed: bool) -> int:
    print(len(vornadc.ports(long=detailed)), vornadc.__version__)
    # __exit__ returns None: the block cannot swallow an exception, so every
    # path returns.
    with vornadc.connect("SIM", check=True, log=None) as adc:
        adc.stop()
        return adc.probe(0)


def outcome_text(error: vornadc.DeviceError) -> str:
    if isinstance(error, vornadc.PortError):
        return f"{error.filename}: errno {error.errno}"
    return str(error)
