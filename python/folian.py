"""Late-bound scripting of the folian32 PDF library through its automation layer.

    import folian
    doc = folian.Dispatch("Folian.PDoc")          # or a class identifier string
    doc.New("out.pdf")
    page = doc.Page()
    page.SetFont("Helvetica", 12)
    page.PrintText("Hello", 72, 720)
    doc.Merge("other.pdf", EndPage=3)             # named arguments
    doc.Close()

Members are found by name (case-insensitive) when called; omitted trailing
arguments take their defaults and `folian.Missing` skips one in the middle.
Strings cross as bytes in `folian.encoding`; bytes, bytearray and memoryview
travel as byte arrays. Objects come back as Dispatch wrappers and are released
when garbage-collected (or at once with `folian.release(obj)`). Out parameters
are passed as `folian.Out()` and read from its `.value` afterwards. A failed
call raises AutomationError with the HRESULT.

The library is $FOLIAN32_LIBRARY when set, else libfolian32 as the system finds
it. Classes are created through the class registry ($FOLIAN_REGISTRY, else the
XDG data home); `folian.register()` registers the loaded library.
"""

import ctypes
import ctypes.util
import os

__all__ = ["Dispatch", "AutomationError", "Missing", "Out", "register", "unregister", "release",
           "can_unload", "registry_path", "encoding"]

encoding = "cp1252"

VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8 = 0, 1, 2, 3, 4, 5
VT_STRING, VT_DISPATCH, VT_ERROR, VT_BOOL = 8, 9, 10, 11
VT_BYTES, VT_BYREF = 0x2011, 0x4000
DISPATCH_METHOD, DISPATCH_PROPERTYGET = 1, 2
DISP_E_PARAMNOTFOUND = -2147352572  # 0x80020004
DISP_E_MEMBERNOTFOUND = -2147352573  # 0x80020003

_MESSAGES = {
    0x80004001: "not implemented",
    0x80004003: "null pointer",
    0x80004005: "unspecified failure",
    0x8007000E: "out of memory",
    0x80070057: "invalid argument",
    0x80040007: "content object bound to no stream",
    0x80010108: "object already released",
    0x80020003: "member not found",
    0x80020004: "parameter not found",
    0x80020005: "type mismatch",
    0x80020006: "unknown name",
    0x80020009: "exception in the member",
    0x8002000A: "value out of range",
    0x8002000E: "wrong number of arguments",
    0x8002000F: "parameter not optional",
    0x80040111: "class not available",
    0x80040150: "class registry cannot be read",
    0x80040151: "class registry cannot be written",
    0x80040154: "class not registered",
    0x800401F3: "invalid class string",
    0x800401F8: "library of the class not found",
}


class AutomationError(Exception):
    """A call answered with a failure HRESULT."""

    def __init__(self, hresult, what, arg_error=None):
        self.hresult = hresult & 0xFFFFFFFF
        self.arg_error = arg_error
        text = _MESSAGES.get(self.hresult, "error")
        where = "" if arg_error is None else " (argument %d)" % arg_error
        super().__init__("%s: %s, 0x%08X%s" % (what, text, self.hresult, where))


class _MissingType:
    def __repr__(self):
        return "folian.Missing"


Missing = _MissingType()


class Out:
    """An out parameter: pass it, then read .value."""

    def __init__(self):
        self.value = None


class _GUID(ctypes.Structure):
    _fields_ = [("data1", ctypes.c_uint32), ("data2", ctypes.c_uint16), ("data3", ctypes.c_uint16),
                ("data4", ctypes.c_uint8 * 8)]


class _Variant(ctypes.Structure):
    pass


_Variant._fields_ = [("type", ctypes.c_uint16), ("reserved", ctypes.c_uint16), ("lowerBound", ctypes.c_int32),
                     ("integer", ctypes.c_int64), ("real", ctypes.c_double), ("bytes", ctypes.c_void_p),
                     ("length", ctypes.c_uint32), ("object", ctypes.c_void_p),
                     ("ref", ctypes.POINTER(_Variant))]

_lib = None


def _library():
    global _lib
    if _lib is None:
        name = os.environ.get("FOLIAN32_LIBRARY") or ctypes.util.find_library("folian32") or "libfolian32.so.1"
        lib = ctypes.CDLL(name)
        lib.FLAutoCreate.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_void_p)]
        lib.FLAutoCreate.restype = ctypes.c_int32
        lib.FLAutoGetIDsOfNames.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.c_uint32,
                                            ctypes.POINTER(ctypes.c_int32)]
        lib.FLAutoGetIDsOfNames.restype = ctypes.c_int32
        lib.FLAutoInvoke.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_uint16, ctypes.POINTER(_Variant),
                                     ctypes.c_uint32, ctypes.POINTER(ctypes.c_int32), ctypes.c_uint32,
                                     ctypes.POINTER(_Variant), ctypes.POINTER(ctypes.c_uint32)]
        lib.FLAutoInvoke.restype = ctypes.c_int32
        lib.FLAutoAddRef.argtypes = [ctypes.c_void_p]
        lib.FLAutoAddRef.restype = ctypes.c_uint32
        lib.FLAutoRelease.argtypes = [ctypes.c_void_p]
        lib.FLAutoRelease.restype = ctypes.c_uint32
        lib.FLVariantClear.argtypes = [ctypes.POINTER(_Variant)]
        lib.FLVariantClear.restype = None
        lib.FLAutoRegistryPath.argtypes = []
        lib.FLAutoRegistryPath.restype = ctypes.c_char_p
        for name in ("DllRegisterServer", "DllUnregisterServer", "DllCanUnloadNow"):
            getattr(lib, name).argtypes = []
            getattr(lib, name).restype = ctypes.c_int32
        _lib = lib
    return _lib


def _check(hr, what, arg_error=None):
    if hr != 0:
        raise AutomationError(hr, what, arg_error)


def register():
    """Registers the loaded library's classes in the class registry."""
    _check(_library().DllRegisterServer(), "register")


def unregister():
    """Removes the library's classes from the class registry."""
    _check(_library().DllUnregisterServer(), "unregister")


def can_unload():
    return _library().DllCanUnloadNow() == 0


def registry_path():
    path = _library().FLAutoRegistryPath()
    return path.decode() if path else None


def release(obj):
    """Drops the wrapper's reference now; later calls on it fail cleanly."""
    obj._release()


class _Args:
    """C variants for one call, keeping the Python buffers they point to alive."""

    def __init__(self, values):
        self.keep = []
        self.outs = []  # (index, Out, target variant)
        self.array = (_Variant * max(len(values), 1))()
        for i, value in enumerate(values):
            self._fill(self.array[i], value, i)

    def _fill(self, v, value, index):
        if value is Missing:
            v.type, v.integer = VT_ERROR, DISP_E_PARAMNOTFOUND
        elif value is None:
            v.type = VT_EMPTY
        elif isinstance(value, Out):
            target = _Variant()
            self.keep.append(target)
            self.outs.append((index, value, target))
            v.type = VT_BYREF
            v.ref = ctypes.pointer(target)
        elif isinstance(value, bool):
            v.type, v.integer = VT_BOOL, -1 if value else 0
        elif isinstance(value, int):
            if -2 ** 31 <= value < 2 ** 31:
                v.type, v.integer = VT_I4, value
            else:
                v.type, v.real = VT_R8, float(value)
        elif isinstance(value, float):
            v.type, v.real = VT_R8, value
        elif isinstance(value, str):
            data = value.encode(encoding, errors="replace")
            buf = ctypes.create_string_buffer(data, len(data) + 1)
            self.keep.append(buf)
            v.type, v.bytes, v.length = VT_STRING, ctypes.addressof(buf), len(data)
        elif isinstance(value, (bytes, bytearray, memoryview)):
            data = bytes(value)
            buf = ctypes.create_string_buffer(data, len(data) + 1)
            self.keep.append(buf)
            v.type, v.bytes, v.length, v.lowerBound = VT_BYTES, ctypes.addressof(buf), len(data), 0
        elif isinstance(value, _Object):
            v.type, v.object = VT_DISPATCH, value._ptr
        else:
            raise TypeError("cannot pass %s to an automation call" % type(value).__name__)


def _take(v):
    """The Python value of a variant the library filled; frees what it held."""
    t = v.type
    if t == VT_DISPATCH:
        ptr = v.object
        v.type, v.object = VT_EMPTY, None
        return _Object(ptr) if ptr else None
    try:
        if t in (VT_EMPTY, VT_NULL):
            return None
        if t in (VT_I2, VT_I4, VT_ERROR):
            return int(v.integer)
        if t in (VT_R4, VT_R8):
            return float(v.real)
        if t == VT_BOOL:
            return v.integer != 0
        if t == VT_STRING:
            return ctypes.string_at(v.bytes, v.length).decode(encoding, errors="replace") if v.length else ""
        if t == VT_BYTES:
            return ctypes.string_at(v.bytes, v.length) if v.length else b""
        return None
    finally:
        _library().FLVariantClear(ctypes.byref(v))


class _Object:
    """One reference to an automation object."""

    def __init__(self, ptr):
        self.__dict__["_ptr"] = ptr
        self.__dict__["_ids"] = {}
        self.__dict__["_live"] = True

    def _release(self):
        if self.__dict__.get("_live"):
            self.__dict__["_live"] = False
            _library().FLAutoRelease(self._ptr)

    def __del__(self):
        try:
            self._release()
        except Exception:
            pass

    def _dispids(self, names):
        key = tuple(n.lower() for n in names)
        if key not in self._ids:
            arr = (ctypes.c_char_p * len(names))(*[n.encode() for n in names])
            ids = (ctypes.c_int32 * len(names))()
            _check(_library().FLAutoGetIDsOfNames(self._ptr, arr, len(names), ids), "/".join(names))
            self._ids[key] = list(ids)
        return self._ids[key]

    def _invoke(self, name, flags, args, kwargs):
        names = [name] + list(kwargs)
        ids = self._dispids(names)
        values = list(args) + list(kwargs.values())
        call = _Args(values)
        named = (ctypes.c_int32 * max(len(kwargs), 1))(*ids[1:])
        result = _Variant()
        arg_error = ctypes.c_uint32(0xFFFFFFFF)
        hr = _library().FLAutoInvoke(self._ptr, ids[0], flags, call.array, len(values), named, len(kwargs),
                                     ctypes.byref(result), ctypes.byref(arg_error))
        if hr != 0:
            raise AutomationError(hr, name, None if arg_error.value == 0xFFFFFFFF else arg_error.value)
        for _, out, target in call.outs:
            out.value = _take(target)
        return _take(result)

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        # A property is read at once; anything else is a method to call.
        try:
            return self._invoke(name, DISPATCH_PROPERTYGET, (), {})
        except AutomationError as e:
            if e.hresult != DISP_E_MEMBERNOTFOUND & 0xFFFFFFFF:
                raise
        return lambda *args, **kwargs: self._invoke(name, DISPATCH_METHOD, args, kwargs)

    def __setattr__(self, name, value):
        raise AttributeError("automation properties are read-only")

    def __repr__(self):
        return "<folian object at 0x%x>" % (self._ptr or 0)


def Dispatch(name):
    """A new object of the class named by ProgID ("Folian.PDoc") or class identifier."""
    ptr = ctypes.c_void_p()
    _check(_library().FLAutoCreate(name.encode(), ctypes.byref(ptr)), name)
    return _Object(ptr.value)
