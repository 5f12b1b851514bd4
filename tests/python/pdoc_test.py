"""PDoc through the scripting client: guards and error codes, page counting, byte
output, merging ranges, links, images, bad calls and released objects."""

import ctypes
import gc
import os
import subprocess
import unittest

import fixture
import folian

E_INVALIDARG = 0x80070057
E_NOT_BOUND = 0x80040007
E_DISCONNECTED = 0x80010108
DISP_E_MEMBERNOTFOUND = 0x80020003
DISP_E_BADPARAMCOUNT = 0x8002000E
DISP_E_TYPEMISMATCH = 0x80020005
DISP_E_UNKNOWNNAME = 0x80020006
DISP_E_PARAMNOTOPTIONAL = 0x8002000F


class PDocTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        fixture.use_registry("pdoc")
        cls.three = fixture.make_pages("three.pdf", ["alpha", "beta", "gamma"])

    def pdoc(self):
        return folian.Dispatch("Folian.PDoc")

    def assertFails(self, hresult, call, *args, **kwargs):
        with self.assertRaises(folian.AutomationError) as caught:
            call(*args, **kwargs)
        self.assertEqual(caught.exception.hresult, hresult, str(caught.exception))
        return caught.exception

    def test_guards_without_and_with_a_document(self):
        d = self.pdoc()
        self.assertEqual(d.ErrCode(), 0)
        for call in (lambda: d.Merge(self.three), lambda: d.Close(), lambda: d.InputOpen(self.three),
                     lambda: d.AddNullBookmark("t")):
            self.assertFalse(call())
            self.assertEqual(d.ErrCode(), 10)
        self.assertEqual(d.PagesWritten(), 0)
        self.assertIsNone(d.Page())
        self.assertTrue(d.New())
        self.assertEqual(d.ErrCode(), 0)
        self.assertFalse(d.New())
        self.assertEqual(d.ErrCode(), 12)
        self.assertIsNone(d.Input())
        self.assertEqual(d.ErrCode(), 11)
        self.assertFalse(d.InputSetFormData("field", "value"))
        self.assertEqual(d.ErrCode(), 11)

    def test_pages_written_and_the_page_object_across_pages(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        page = d.Page()
        self.assertEqual(d.Page()._ptr, page._ptr)  # one cached object
        self.assertEqual(d.PagesWritten(), 0)
        self.assertTrue(page.SetFont("Helvetica", 12))
        page.PrintText("one", 72, 720)
        d.NewPage()
        self.assertTrue(page.SetFont("Helvetica", 12))  # a new page starts without a font
        page.PrintText("two", 72, 720)  # the kept object follows the new page
        d.NewPage()
        page.MoveTo(10, 10)
        page.DrawTo(100, 100)
        self.assertEqual(d.PagesWritten(), 3)
        data = d.CloseB()
        self.assertEqual(fixture.page_count(data), 3)
        # The document went with CloseB: the page object is bound to nothing.
        self.assertFails(E_NOT_BOUND, page.MoveTo, 1, 1)

    def test_closeb_hands_out_the_memory_file_only(self):
        d = self.pdoc()
        path = fixture.output_path("closeb_file.pdf")
        self.assertTrue(d.New(path))
        self.assertIsNone(d.CloseB())
        self.assertEqual(d.ErrCode(), 12)
        self.assertEqual(fixture.qpdf_check(path)[0], 0)
        # The object is empty again and makes a memory document.
        self.assertTrue(d.New(PageWidth=300, PageHeight=400))
        self.assertTrue(d.Page().SetFont("Courier", 10))
        d.Page().PrintText("x", 10, 10)
        data = d.CloseB()
        self.assertEqual(d.ErrCode(), 0)
        self.assertIsInstance(data, bytes)
        self.assertTrue(data.startswith(b"%PDF-1.3"))
        self.assertRegex(data[-8:], rb"%%EOF\r?\n$")
        self.assertRegex(data, rb"/MediaBox \[ ?0 0 300 400 ?\]")
        self.assertIsNone(d.CloseB())
        self.assertEqual(d.ErrCode(), 10)

    def test_new_on_a_missing_folder_maps_the_system_error(self):
        d = self.pdoc()
        self.assertFalse(d.New(fixture.output_path("no/such/folder/x.pdf")))
        self.assertEqual(d.ErrCode(), 21)
        self.assertFalse(d.New(PageWidth=70000))
        self.assertEqual(d.ErrCode(), 7)
        self.assertTrue(d.New())

    def test_merge_page_ranges(self):
        # EndPage below 1 or with low 16 bits from 32768 up means "to the last page".
        cases = [({}, 3), ({"EndPage": 0}, 3), ({"EndPage": 2}, 2), ({"StartPage": 2}, 2),
                 ({"EndPage": 32768}, 3), ({"EndPage": 65536 + 2}, 2), ({"EndPage": 65536 + 40000}, 3), ({"EndPage": 65536}, 3),
                 ({"StartPage": 2, "EndPage": 2}, 1)]
        for args, pages in cases:
            with self.subTest(args=args):
                d = self.pdoc()
                self.assertTrue(d.New())
                self.assertTrue(d.Merge(self.three, **args))
                self.assertEqual(fixture.page_count(d.CloseB()), pages)
        d = self.pdoc()
        self.assertTrue(d.New())
        self.assertFalse(d.Merge(fixture.output_path("missing.pdf")))
        self.assertEqual(d.ErrCode(), 0)  # left as it was

    def test_links_and_bookmarks(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        for page in (0, 1001, -5):
            with self.subTest(page=page):
                d.SetAttr("Title")  # resets the code
                self.assertEqual(d.ErrCode(), 0)
                d.AddWebLink(page, 10, 10, 50, 50, "https://example.org")
                self.assertEqual(d.ErrCode(), 7)
                d.SetAttr("Title")
                d.AddGoToLink(page, 10, 10, 50, 50, 1)
                self.assertEqual(d.ErrCode(), 7)
        d.SetInfo(Title="Links")
        self.assertEqual(d.ErrCode(), 0)
        d.Page().SetFont("Helvetica", 12)
        d.Page().PrintText("linked", 72, 720)
        d.AddWebLink(1, 10, 20, 110, 40, "https://example.org", 0)
        self.assertEqual(d.ErrCode(), 0)
        self.assertTrue(d.AddGotoBookmark("Start", Page=1))
        self.assertFalse(d.AddNullBookmark(None))  # no title
        self.assertEqual(d.ErrCode(), 7)
        data = d.CloseB()
        self.assertRegex(data, rb"/Rect \[ ?10 20 110 40 ?\]")
        self.assertIn(b"(Start)", data)
        self.assertIn(b"(Links)", data)

    def test_input_objects_follow_the_current_input(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        self.assertTrue(d.InputOpen(self.three))
        self.assertEqual(d.ErrCode(), 0)
        first = d.Input()
        self.assertIsNotNone(first)
        self.assertEqual(d.Input()._ptr, first._ptr)  # cached while the input stays
        self.assertTrue(d.Attach(first))  # the input it already has
        self.assertTrue(d.InputCopyPages(2, 3))
        d.InputCopyBookmarks()
        self.assertFalse(d.InputOpen(fixture.output_path("missing.pdf")))
        self.assertEqual(d.ErrCode(), 1)
        other = fixture.make_pages("input_other.pdf", ["other"])
        self.assertTrue(d.InputOpen(other))
        self.assertNotEqual(d.Input()._ptr, first._ptr)  # a new input, a new object
        self.assertFalse(d.Attach(None))
        self.assertEqual(d.ErrCode(), 12)
        self.assertTrue(d.InputCopyPages())
        self.assertEqual(fixture.page_count(d.CloseB()), 3)

    def test_header_object_survives_header_clear(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        header = d.Header()
        self.assertTrue(header.SetFont("Helvetica", 8))
        header.PrintText("head", 10, 10)
        d.HeaderClear()
        self.assertEqual(d.Header()._ptr, header._ptr)
        self.assertTrue(header.SetFont("Helvetica", 8))  # bound to the new header
        header.PrintText("again", 10, 10)
        d.PutPageNumbers("%p", 500, 20)
        self.assertTrue(d.Merge(self.three))  # the header goes over copied pages
        path = fixture.output_path("header.pdf")
        with open(path, "wb") as f:
            f.write(d.CloseB())
        shown = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True, timeout=60).stdout
        self.assertEqual(shown.count("again"), 3)
        self.assertIn("gamma", shown)
        self.assertNotIn("head", shown)

    def test_create_image_argument_types_and_palette(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        self.assertFails(E_INVALIDARG, d.CreateImage, 2, 1, 8, 1, "not bytes")
        self.assertFails(E_INVALIDARG, d.CreateImage, 2, 1, 8, 1, b"\x00\x01", "not a palette")
        gray = d.CreateImage(2, 2, 8, 0, bytearray(b"\x00\x40\x80\xff"))
        self.assertGreater(gray, 0)
        # A short palette is padded to 256 colours; indexed data may use any of them.
        indexed = d.CreateImage(2, 1, 8, 1, b"\x00\x01", b"\xff\x00\x00\x00\xff\x00")
        self.assertGreater(indexed, 0)
        self.assertEqual(d.CreateImage(2, 1, 8, 0, b""), 0)
        self.assertEqual(d.ErrCode(), 7)
        data = d.CloseB()
        path = fixture.output_path("images.pdf")
        with open(path, "wb") as f:
            f.write(data)
        self.assertEqual(fixture.qpdf_check(path)[0], 0, fixture.qpdf_check(path)[1])

    def test_bad_calls_give_clear_results(self):
        d = self.pdoc()
        self.assertFails(DISP_E_UNKNOWNNAME, lambda: d.NoSuchMember())
        self.assertFails(DISP_E_BADPARAMCOUNT, d.PageSize, 1, 2, 3)
        self.assertFails(DISP_E_BADPARAMCOUNT, d.InputOpen)
        self.assertFails(DISP_E_PARAMNOTOPTIONAL, d.InputOpen, folian.Missing)
        self.assertFails(DISP_E_TYPEMISMATCH, d.PageSize, "wide", 2)
        self.assertFails(DISP_E_UNKNOWNNAME, d.Merge, "x.pdf", Last=3)
        # A DISPID the interface does not have, through the C entry point.
        lib = folian._library()
        result = folian._Variant()
        hr = lib.FLAutoInvoke(d._ptr, 99, 1, None, 0, None, 0, ctypes.byref(result), None)
        self.assertEqual(hr & 0xFFFFFFFF, DISP_E_MEMBERNOTFOUND)
        self.assertEqual(lib.FLAutoInvoke(None, 1, 1, None, 0, None, 0, None, None) & 0xFFFFFFFF, E_DISCONNECTED)
        # Names ignore case.
        self.assertTrue(d.new())
        self.assertEqual(d.PAGESWRITTEN(), 0)

    def test_released_objects_are_refused(self):
        d = self.pdoc()
        self.assertTrue(d.New())
        page = d.Page()
        folian.release(d)  # finishes and drops the document
        self.assertFails(E_DISCONNECTED, lambda: d.ErrCode())
        self.assertFails(E_DISCONNECTED, lambda: d.New())
        self.assertFails(E_NOT_BOUND, page.MoveTo, 1, 1)
        move = page.MoveTo
        folian.release(page)
        self.assertFails(E_DISCONNECTED, move, 1, 1)
        folian.release(page)  # twice is harmless
        del d, page
        gc.collect()
        self.assertTrue(folian.can_unload())


class SameBytesTest(unittest.TestCase):
    def test_joining_by_name_writes_what_the_functions_write(self):
        fixture.use_registry("same")
        parts = [fixture.make_pages("part%d.pdf" % i, ["part %d page %d" % (i, p) for p in range(1, i + 2)])
                 for i in range(3)]
        lib = folian._library()
        lib.PDocMerge.argtypes = [ctypes.c_uint32, ctypes.c_char_p, ctypes.c_int32, ctypes.c_int32]
        direct = fixture.output_path("joined_direct.pdf")
        error = ctypes.c_int32(0)
        doc = lib.PDocNew(direct.encode(), 0, 0, ctypes.byref(error))
        for part in parts:
            self.assertEqual(lib.PDocMerge(doc, part.encode(), 1, 0), 0)
        self.assertEqual(lib.PDocClose(doc), 0)
        lib.PDocRelease(doc)
        late = fixture.output_path("joined_late.pdf")
        d = folian.Dispatch("{848255D4-8230-11D3-9E6D-0060080C087D}")
        self.assertTrue(d.New(late))
        for part in parts:
            self.assertTrue(d.Merge(part))
        self.assertTrue(d.Close())
        with open(direct, "rb") as f:
            a = f.read()
        with open(late, "rb") as f:
            b = f.read()
        self.assertEqual(fixture.without_dates_and_id(a), fixture.without_dates_and_id(b))
        self.assertEqual(fixture.page_count(late), 6)


class RegistryTest(unittest.TestCase):
    def test_create_by_class_identifier_and_after_unregistration(self):
        path = fixture.use_registry("registry")
        d = folian.Dispatch("{848255D4-8230-11D3-9E6D-0060080C087D}")
        self.assertTrue(d.New())
        self.assertEqual(folian.registry_path(), path)
        folian.unregister()
        for name in ("Folian.PDoc", "{848255D4-8230-11D3-9E6D-0060080C087D}"):
            with self.assertRaises(folian.AutomationError) as caught:
                folian.Dispatch(name)
            self.assertEqual(caught.exception.hresult, 0x80040154)
        self.assertEqual(d.PagesWritten(), 0)  # made before: still usable
        with open(path, "wb") as f:
            f.write(b"\x00garbage")
        with self.assertRaises(folian.AutomationError) as caught:
            folian.Dispatch("Folian.PDoc")
        self.assertEqual(caught.exception.hresult, 0x80040150)
        with self.assertRaises(folian.AutomationError):
            folian.register()
        with open(path, "rb") as f:
            self.assertEqual(f.read(), b"\x00garbage")
        os.remove(path)
        folian.register()
        self.assertTrue(folian.Dispatch("folian.pdoc.1").New())


if __name__ == "__main__":
    unittest.main()
