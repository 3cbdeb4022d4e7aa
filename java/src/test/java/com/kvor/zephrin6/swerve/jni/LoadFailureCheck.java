package com.kvor.zephrin6.swerve.jni;

/**
 * Loads the bindings from a class path that lacks one of their classes: the load must fail
 * (the library names the missing class on standard error). Exits 0 when it failed as it
 * should, 1 when the library loaded anyway.
 */
public final class LoadFailureCheck {
    private LoadFailureCheck() {}

    public static void main(String[] args) {
        try {
            new SwerveJNI();
        } catch (UnsatisfiedLinkError expected) {
            System.out.println("load failed as expected: " + expected.getMessage());
            System.exit(0);
        }
        System.out.println("FAIL: the library loaded without all of its classes");
        System.exit(1);
    }
}
