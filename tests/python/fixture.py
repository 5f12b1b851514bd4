"""Shared set-up for the scripting client's tests: a registry of the test's own,
the library registered into it, and small PDF files made through the C functions."""

import ctypes
import os
import re
import subprocess
import tempfile

import folian

OUTPUT = os.environ.get("FOLIAN_TEST_OUTPUT") or tempfile.mkdtemp()
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def output_path(name):
    os.makedirs(os.path.join(OUTPUT, "python"), exist_ok=True)
    return os.path.join(OUTPUT, "python", name)


def use_registry(name):
    """Points the class registry at a fresh file and registers the library there."""
    path = output_path(name + ".registry")
    if os.path.exists(path):
        os.remove(path)
    os.environ["FOLIAN_REGISTRY"] = path
    folian.register()
    return path


def make_pages(name, labels):
    """A file with one page per label, each page showing its label."""
    lib = folian._library()
    lib.PDocNew.argtypes = [ctypes.c_char_p, ctypes.c_uint16, ctypes.c_int32, ctypes.POINTER(ctypes.c_int32)]
    lib.PDocNew.restype = ctypes.c_uint32
    lib.PDocPrintText.argtypes = [ctypes.c_uint32, ctypes.c_float, ctypes.c_float, ctypes.c_char_p]
    lib.PDocSetFont.argtypes = [ctypes.c_uint32, ctypes.c_char_p, ctypes.c_float]
    for f in ("PDocNewPage", "PDocClose", "PDocRelease"):
        getattr(lib, f).argtypes = [ctypes.c_uint32]
    path = output_path(name)
    error = ctypes.c_int32(0)
    doc = lib.PDocNew(path.encode(), 0, 0, ctypes.byref(error))
    assert doc, "cannot make %s (error %d)" % (path, error.value)
    for label in labels:
        assert lib.PDocSetFont(doc, b"Helvetica", 12) == 0
        assert lib.PDocPrintText(doc, 72, 720, label.encode()) == 0
        assert lib.PDocNewPage(doc) == 0
    assert lib.PDocClose(doc) == 0
    lib.PDocRelease(doc)
    return path


def without_dates_and_id(data):
    """The file with its dates and file identifier blanked, for comparing runs."""
    data = re.sub(rb"\(D:[0-9+\-Z']*\)", b"(D:)", data)
    return re.sub(rb"/ID\s*\[\s*<[0-9A-Fa-f]*>\s*<[0-9A-Fa-f]*>\s*\]", b"/ID []", data)


def page_count(data_or_path):
    """Pages of a file or of PDF bytes, as qpdf counts them."""
    if isinstance(data_or_path, (bytes, bytearray)):
        path = output_path("count.pdf")
        with open(path, "wb") as f:
            f.write(data_or_path)
    else:
        path = data_or_path
    out = subprocess.run(["qpdf", "--show-npages", path], capture_output=True, text=True, timeout=60)
    return int(out.stdout.strip())


def qpdf_check(path):
    out = subprocess.run(["qpdf", "--check", path], capture_output=True, text=True, timeout=60)
    return out.returncode, out.stdout + out.stderr


def check_refs(path):
    out = subprocess.run([os.path.join(SOURCE, "scripts", "check-refs"), path], capture_output=True, text=True,
                         timeout=60)
    return out.returncode, out.stdout + out.stderr
