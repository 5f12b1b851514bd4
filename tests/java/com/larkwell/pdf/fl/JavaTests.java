package com.larkwell.pdf.fl;

import java.io.File;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;

/**
 * A small test runner for the Java classes: {@code JavaTests GROUP OUT_DIR} runs one
 * group of named cases, prints one line per case and exits 1 when any failed.
 * Cases run in the order they are added; a thrown exception fails its case only.
 */
final class JavaTests {
  interface Body {
    void run() throws Exception;
  }

  private static final class Case {
    final String name;
    final Body body;

    Case(String name, Body body) {
      this.name = name;
      this.body = body;
    }
  }

  static File out;
  private static final List<Case> cases = new ArrayList<>();
  private static final List<String> problems = new ArrayList<>();

  static void add(String name, Body body) {
    cases.add(new Case(name, body));
  }

  static void check(boolean ok, String what) {
    if (!ok) problems.add(what);
  }

  static void equal(Object expected, Object actual, String what) {
    boolean same = expected == null ? actual == null : expected.equals(actual);
    check(same, what + ": expected <" + expected + "> but was <" + actual + ">");
  }

  static void near(double expected, double actual, double tolerance, String what) {
    check(Math.abs(expected - actual) <= tolerance, what + ": expected " + expected + " but was " + actual);
  }

  /** The text as bytes (one per character) followed by a zero byte. */
  static byte[] z(String text) {
    byte[] raw = raw(text);
    byte[] terminated = new byte[raw.length + 1];
    System.arraycopy(raw, 0, terminated, 0, raw.length);
    return terminated;
  }

  /** The text as bytes, one per character, without a terminating zero. */
  static byte[] raw(String text) {
    return text.getBytes(StandardCharsets.ISO_8859_1);
  }

  static File file(String name) {
    return new File(out, name);
  }

  static byte[] read(File f) throws IOException {
    return Files.readAllBytes(f.toPath());
  }

  /** Runs a command (30 s at most) and returns its exit status; its output goes to `output` when given. */
  static int run(StringBuilder output, String... command) throws IOException, InterruptedException {
    Process p = new ProcessBuilder(command).redirectErrorStream(true).start();
    byte[] bytes = p.getInputStream().readAllBytes();
    if (!p.waitFor(30, TimeUnit.SECONDS)) {
      p.destroyForcibly();
      return -1;
    }
    if (output != null) output.append(new String(bytes, StandardCharsets.UTF_8));
    return p.exitValue();
  }

  /** All text of an input document, token by token, with a blank between tokens. */
  static List<FLTextToken> tokens(int idoc) {
    List<FLTextToken> all = new ArrayList<>();
    for (int i = 0; i < 10000; i++) {
      FLTextToken t = new FLTextToken();
      int code = t.IDocReadTextToken(idoc);
      if (code != 0) break;
      if (t.Text != null && !t.Text.isEmpty()) all.add(t);
    }
    return all;
  }

  static FLTextToken token(List<FLTextToken> tokens, String text) {
    for (FLTextToken t : tokens) {
      if (t.Text.equals(text)) return t;
    }
    return null;
  }

  static String joined(List<FLTextToken> tokens) {
    StringBuilder text = new StringBuilder();
    for (FLTextToken t : tokens) text.append(t.Text).append(' ');
    return text.toString();
  }

  public static void main(String[] args) throws Exception {
    if (args.length != 2) {
      System.err.println("usage: JavaTests edge|bytes|acceptance OUT_DIR");
      System.exit(2);
    }
    out = new File(args[1]);
    out.mkdirs();
    switch (args[0]) {
      case "edge":
        EdgeCasesTest.register();
        break;
      case "bytes":
        ByteArgumentsTest.register();
        break;
      case "acceptance":
        AcceptanceTest.register();
        break;
      default:
        System.err.println("unknown group " + args[0]);
        System.exit(2);
    }
    int failed = 0;
    for (Case c : cases) {
      problems.clear();
      try {
        c.body.run();
      } catch (Throwable thrown) {
        problems.add("threw " + thrown);
      }
      if (problems.isEmpty()) {
        System.out.println("ok   " + c.name);
      } else {
        failed++;
        System.out.println("FAIL " + c.name);
        for (String p : problems) System.out.println("       " + p);
      }
    }
    System.out.println((cases.size() - failed) + " passed, " + failed + " failed");
    System.exit(failed == 0 ? 0 : 1);
  }
}
