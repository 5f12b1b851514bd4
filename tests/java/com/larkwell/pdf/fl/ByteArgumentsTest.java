package com.larkwell.pdf.fl;

import static com.larkwell.pdf.fl.JavaTests.add;
import static com.larkwell.pdf.fl.JavaTests.check;
import static com.larkwell.pdf.fl.JavaTests.equal;
import static com.larkwell.pdf.fl.JavaTests.raw;
import static com.larkwell.pdf.fl.JavaTests.z;

import java.lang.reflect.InvocationTargetException;
import java.lang.reflect.Method;
import java.lang.reflect.Modifier;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.Comparator;
import java.util.List;

/**
 * Every byte[] parameter of every native method, given null and given bytes
 * without a terminating zero, while the other arguments are sound. The virtual
 * machine must keep running, and the library must still work afterwards.
 */
final class ByteArgumentsTest {
  /** The live handles the arguments are drawn from. */
  private static int doc;
  private static int con;
  private static int idoc;

  private static Object plain(Class<?> type, boolean firstInt, String method) {
    if (type == int.class) {
      if (!firstInt) return 1;
      if (method.startsWith("PCon")) return con;
      if (method.startsWith("IDoc")) return idoc;
      return doc;
    }
    if (type == float.class) return 10f;
    if (type == boolean.class) return false;
    if (type == char.class) return 'c';
    if (type == byte[].class) return z("x");
    if (type == String.class) return "x";
    if (type == float[].class) return new float[10];
    if (type == int[].class) return new int[1];
    if (type == short[].class) return new short[] {50};
    throw new IllegalArgumentException(type.toString());
  }

  /** A handle that a call handed back is given back to the library. */
  private static void releaseResult(Method m, Object result) {
    if (!(result instanceof Integer) || (Integer) result == 0) return;
    if (m.getName().equals("PDocNew")) FLLib.PDocRelease((Integer) result);
    if (m.getName().equals("IDocOpen")) FLLib.IDocClose((Integer) result);
  }

  static void register() {
    add("nullAndUnterminatedBytesInEveryByteParameter", () -> {
      doc = FLLib.PDocNew(null, new int[1]);
      con = FLLib.PDocGetContentHandle(doc);
      idoc = FLLib.IDocOpen(EdgeCasesTest.pages("input"), new int[1]);
      check(doc != 0 && con != 0 && idoc != 0, "handles to work on");
      List<Method> natives = new ArrayList<>(Arrays.asList(FLLib.class.getDeclaredMethods()));
      natives.removeIf(m -> !Modifier.isNative(m.getModifiers()));
      natives.sort(Comparator.comparing(Method::getName));
      int parameters = 0;
      int calls = 0;
      for (Method m : natives) {
        Class<?>[] types = m.getParameterTypes();
        for (int at = 0; at < types.length; at++) {
          if (types[at] != byte[].class) continue;
          parameters++;
          for (byte[] odd : new byte[][] {null, raw("Zq"), new byte[0], new byte[] {(byte) 0xFF}}) {
            Object[] args = new Object[types.length];
            boolean firstInt = true;
            for (int i = 0; i < types.length; i++) {
              args[i] = plain(types[i], firstInt && types[i] == int.class, m.getName());
              if (types[i] == int.class) firstInt = false;
            }
            args[at] = odd;
            try {
              releaseResult(m, m.invoke(null, args));
              calls++;
            } catch (InvocationTargetException thrown) {
              check(false, m.getName() + " parameter " + at + " threw " + thrown.getCause());
            }
          }
        }
      }
      System.out.println("       " + calls + " calls over " + parameters + " byte[] parameters");
      check(parameters >= 34, "byte[] parameters found: " + parameters);
      // The handles survived every call and still do their work.
      check(FLLib.PConSetFont(con, z("Helvetica"), 12) == 0, "content still usable");
      check(FLLib.PConPutText(con, z("still here")) == 0, "text still drawn");
      byte[] bytes = FLLib.PDocGetOutputBytes(doc);
      check(bytes != null && bytes.length > 100, "document still closes into bytes");
      equal(0, FLLib.PDocRelease(doc), "release");
      equal(1, FLLib.IDocNumPages(idoc), "input still readable");
      equal(0, FLLib.IDocClose(idoc), "close input");
      int check = FLLib.IDocOpen(bytes, new int[1]);
      check(check != 0, "the result opens");
      FLLib.IDocClose(check);
    });
  }

  private ByteArgumentsTest() {}
}
