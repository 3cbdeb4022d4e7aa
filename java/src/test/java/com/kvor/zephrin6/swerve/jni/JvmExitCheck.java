package com.kvor.zephrin6.swerve.jni;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;

/**
 * Runs {@link ExitWithRunningDrivetrain} in a child JVM, plainly and under -Xcheck:jni, and
 * checks that each child ends within 2 s of announcing its {@code System.exit}, with exit code
 * 0 and no JNI warning. A child still alive 20 s after it started is killed and fails.
 * Prints each exit time, then PASS (exit 0) or each failure (exit 1).
 */
public final class JvmExitCheck {
    private static final long LIMIT_NANOS = TimeUnit.SECONDS.toNanos(2);
    private static final long GIVE_UP_SECONDS = 20;

    private JvmExitCheck() {}

    public static void main(String[] args) throws Exception {
        int failures = 0;
        for (boolean checked : new boolean[] {false, true}) {
            failures += runChild(checked);
        }
        if (failures > 0) {
            System.out.println(failures + " check(s) failed");
            System.exit(1);
        }
        System.out.println("PASS");
    }

    private static int runChild(boolean checkedJni) throws IOException, InterruptedException {
        String label = checkedJni ? "java -Xcheck:jni" : "java";
        List<String> command = new ArrayList<>();
        command.add(ProcessHandle.current().info().command().orElse("java"));
        if (checkedJni) {
            command.add("-Xcheck:jni");
        }
        command.add("-Djava.library.path=" + System.getProperty("java.library.path"));
        command.add("-cp");
        command.add(System.getProperty("java.class.path"));
        command.add(ExitWithRunningDrivetrain.class.getName());
        Process child = new ProcessBuilder(command).redirectErrorStream(true).start();

        StringBuilder output = new StringBuilder();
        long[] exitAnnounced = {0};
        Thread reader = new Thread(() -> {
            try (BufferedReader lines = new BufferedReader(
                    new InputStreamReader(child.getInputStream(), StandardCharsets.UTF_8))) {
                for (String line = lines.readLine(); line != null; line = lines.readLine()) {
                    if (line.equals("exiting")) {
                        synchronized (exitAnnounced) {
                            exitAnnounced[0] = System.nanoTime();
                        }
                    }
                    synchronized (output) {
                        output.append(line).append('\n');
                    }
                }
            } catch (IOException ignored) {
                // The child was killed.
            }
        });
        reader.start();

        int failures = 0;
        boolean ended = child.waitFor(GIVE_UP_SECONDS, TimeUnit.SECONDS);
        long endedAt = System.nanoTime();
        if (!ended) {
            child.destroyForcibly().waitFor();
        }
        reader.join();
        long announced;
        synchronized (exitAnnounced) {
            announced = exitAnnounced[0];
        }
        String text;
        synchronized (output) {
            text = output.toString();
        }
        if (announced == 0) {
            System.out.println("FAIL: " + label + ": the child never reached its exit:\n" + text);
            return 1;
        }
        double seconds = (endedAt - announced) / 1e9;
        if (!ended || endedAt - announced > LIMIT_NANOS) {
            System.out.printf("FAIL: %s: the JVM %s %.3f s after System.exit%n", label,
                    ended ? "ended only" : "was still running (killed)", seconds);
            ++failures;
        } else {
            System.out.printf("%s: the JVM ended %.3f s after System.exit%n", label, seconds);
        }
        if (ended && child.exitValue() != 0) {
            System.out.println("FAIL: " + label + ": exit code " + child.exitValue());
            ++failures;
        }
        if (text.contains("WARNING") || text.contains("FATAL ERROR") || text.contains("FAIL:")) {
            System.out.println("FAIL: " + label + ": the child said:\n" + text);
            ++failures;
        }
        return failures;
    }
}
