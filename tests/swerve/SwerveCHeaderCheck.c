/* Compiled by the C compiler as strict C11: the C interface's header must be
 * usable from C as it stands, and its records must have the same layout in
 * C as in C++ (SwerveCInterfaceTest compares them). */
#include <kvor/zephrin6/swerve/swerve_c_style.h>

#include <stddef.h>

/* The runtime's release function, declared here since its header is C++. */
int c_kvor_zephrin6_free_memory(void **address);

int swerve_c_header_check(void);
void swerve_c_record_layout(size_t out[6]);

int swerve_c_header_check(void) {
    _swerve_module_constants_arr_t *modules = c_kvor_zephrin6_swerve_create_module_constants_arr(2);
    _swerve_pose_t pose = {1.0, 2.0, 3.0};
    _swerve_module_state_t state;
    void *address;
    if (modules == NULL) return 1;
    if (c_kvor_zephrin6_swerve_set_module_constants(modules, 1, 1, 2, 3, 0.0, 0.3, 0.3, false, true, false, 6.0, 12.8,
                                                    0.0, 0.05, 0, 1, 120.0, 4.0, 0, 0, 0, 0.01, 0.01, 0.2,
                                                    0.2) == NULL)
        return 2;
    if (c_kvor_zephrin6_swerve_set_module_constants(modules, 2, 1, 2, 3, 0.0, 0.3, 0.3, false, true, false, 6.0, 12.8,
                                                    0.0, 0.05, 0, 1, 120.0, 4.0, 0, 0, 0, 0.01, 0.01, 0.2,
                                                    0.2) != NULL)
        return 3;
    if (c_kvor_zephrin6_swerve_drivetrain_sample_pose_at(-1, &pose, 0.0) || pose.x != 1.0) return 4;
    state = c_kvor_zephrin6_swerve_module_get_target_state(-1, 0);
    if (state.speed != 0.0 || state.angle != 0.0) return 5;
    if (c_kvor_zephrin6_swerve_request_apply_idle(-1) != -1002) return 6;
    address = modules;
    c_kvor_zephrin6_free_memory(&address);
    return address == NULL ? 0 : 7;
}

void swerve_c_record_layout(size_t out[6]) {
    out[0] = sizeof(_swerve_drive_state_t);
    out[1] = offsetof(_swerve_drive_state_t, FailedDaqs);
    out[2] = sizeof(_swerve_module_apply_params_t);
    out[3] = offsetof(_swerve_module_apply_params_t, enableFOC);
    out[4] = sizeof(_swerve_control_params_t);
    out[5] = offsetof(_swerve_drive_state_t, ModulePositions);
}
