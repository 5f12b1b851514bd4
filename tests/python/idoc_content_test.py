"""IDoc, TToken and Content through the scripting client: reading back what a
PDoc wrote, text tokens page by page, the content members' operators and error
codes, and objects bound to no stream."""

import subprocess
import unittest

import fixture
import folian

E_INVALIDARG = 0x80070057
E_NOT_BOUND = 0x80040007


def uncompressed(data, name):
    """The file's bytes with its streams decompressed by qpdf."""
    path = fixture.output_path(name)
    with open(path, "wb") as f:
        f.write(data)
    out = subprocess.run(["qpdf", "--qdf", "--object-streams=disable", path, "-"], capture_output=True,
                         timeout=60)
    return out.stdout


class IDocContentTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        fixture.use_registry("idoc_content")

    def assertFails(self, hresult, call, *args):
        with self.assertRaises(folian.AutomationError) as caught:
            call(*args)
        self.assertEqual(caught.exception.hresult, hresult, str(caught.exception))

    def two_pages(self):
        """PDF bytes: "Hello" and "World" on page 1, "Second" on page 2."""
        d = folian.Dispatch("Folian.PDoc")
        self.assertTrue(d.New())
        page = d.Page()
        self.assertTrue(page.SetFont("Helvetica", 10))
        page.PrintText("Hello", 100, 700)
        page.PrintText("World", 300, 500)
        d.NewPage()
        self.assertTrue(page.SetFont("Courier", 12))  # the same object, on the new page
        page.PrintText("Second", 50, 50)
        self.assertEqual(d.PagesWritten(), 2)
        data = d.CloseB()
        self.assertEqual(d.ErrCode(), 0)
        return data

    def test_input_guard_and_bad_arguments(self):
        i = folian.Dispatch("Folian.IDoc")
        self.assertEqual(i.NumPages(), -1)
        self.assertEqual(i.ErrCode(), 11)
        self.assertIsNone(i.GetToken())
        self.assertEqual(i.ErrCode(), 11)
        self.assertFalse(i.Open(fixture.output_path("missing.pdf")))
        self.assertEqual(i.ErrCode(), 21)
        self.assertFails(E_INVALIDARG, i.OpenMem, "%PDF-1.4 not bytes")
        self.assertFalse(i.OpenMem(b"no PDF here"))
        self.assertEqual(i.ErrCode(), 2)

    def test_tokens_page_by_page(self):
        i = folian.Dispatch("Folian.IDoc")
        self.assertTrue(i.OpenMem(self.two_pages()))  # every byte of CloseB's array
        self.assertEqual(i.NumPages(), 2)
        self.assertEqual(i.NumColors(), -1)
        self.assertEqual(i.ErrCode(), 20)
        self.assertTrue(i.GoPage())
        token = i.GetToken()
        self.assertEqual((token.Text, token.Font, token.Page), ("Hello", "Helvetica", 1))
        self.assertEqual((token.X, token.Y, token.Width), (100.0, 700.0, 22))
        self.assertAlmostEqual(token.CharRightPos(5), 22.78, places=2)
        self.assertEqual(token.CharRightPos(0), 0.0)
        self.assertEqual(token.CharRightPos(6), 0.0)
        self.assertEqual(i.GetToken().Text, "World")
        self.assertIsNone(i.GetToken())
        self.assertEqual(i.ErrCode(), 19)
        self.assertTrue(i.GoNextPage())
        self.assertEqual(i.GetToken().Text, "Second")
        self.assertFalse(i.GoNextPage())
        self.assertEqual(i.ErrCode(), 20)
        left, bottom, right, top = folian.Out(), folian.Out(), folian.Out(), folian.Out()
        i.GetMediaBox(left, bottom, right, top)
        self.assertEqual((left.value, top.value), (0.0, 842.0))
        del i
        self.assertEqual(token.Text, "Hello")  # a snapshot outlives its document

    def test_content_members_and_codes(self):
        d = folian.Dispatch("Folian.PDoc")
        self.assertTrue(d.New())
        image = d.CreateImage(2, 2, 8, 0, bytes([0, 80, 160, 255]))
        self.assertEqual(image, 1)
        page = d.Page()
        self.assertFalse(page.SetLineCS("Gold", 1.5))
        self.assertEqual(page.ErrCode(), 23)
        page.MoveTo(10, 10)
        self.assertEqual(page.ErrCode(), 0)
        self.assertTrue(page.CurveTo(1, 2, 3, 4, 5, 6))
        self.assertTrue(page.CurveTo(7, 8, 9, 10, type=1))
        self.assertTrue(page.CurveTo(11, 12, 13, 14, type=2))
        page.SetGrayLevel(2, 0.5)
        page.SetGrayLevel(GrayFill=0.75)
        self.assertTrue(page.PrintImage(image, 10, 20, 30, 40))
        self.assertTrue(page.SetFont("Helvetica", 10))
        page.PrintGrid(72, 700, 2, 100, 50, 0, 80)
        page.GridText(1, 2, "two")
        self.assertEqual(page.ErrCode(), 0)
        page.GridText(1, 3, "three")
        self.assertEqual(page.ErrCode(), 23)
        self.assertEqual(page.GridHeight(2), 24)
        data = uncompressed(d.CloseB(), "content.pdf")
        for expected in (b"1 2 3 4 5 6 c", b"7 8 9 10 v", b"11 12 13 14 y", b"0.75 g", b"q 30 0 0 40 10 20 cm\n",
                         b"(two) Tj"):
            self.assertIn(expected, data)
        self.assertNotIn(b"0.5 g", data)
        self.assertNotIn(b"(three)", data)
        # The document is gone; its page object is bound to nothing.
        self.assertFails(E_NOT_BOUND, page.ErrCode)
        self.assertFails(E_NOT_BOUND, folian.Dispatch("Folian.Content").PrintNewLine)


if __name__ == "__main__":
    unittest.main()
