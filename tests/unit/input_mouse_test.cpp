// The mouse queries read the wheel movement of the last frame from the
// button reader.
#include "input/buttons.h"
#include "api/mouse.h"
#include "api/system_api.h"
#include "runner_fixture.h"

class InputMouse : public RunnerTest {};

TEST_F(InputMouse, WheelMovementOfTheLastFrameThroughStat) {
  machine.ram[0x5F2D] = machine.draw[0x2D] = 1;
  buttons_add_wheel(2, -1);
  update_buttons();
  read_buttons();
  EXPECT_EQ(zurkel_stat_value(&machine, 35), 2 << 16);
  EXPECT_EQ(zurkel_stat_value(&machine, 36), -(1 << 16));
  EXPECT_EQ(zurkel_mouse_stat(3), 2);
  update_buttons();
  read_buttons();
  EXPECT_EQ(zurkel_stat_value(&machine, 36), 0);
  buttons_add_wheel(0, 3);
  read_buttons();
  machine.ram[0x5F2D] = machine.draw[0x2D] = 0;
  EXPECT_EQ(zurkel_stat_value(&machine, 36), 0);  // devkit input off
  EXPECT_EQ(zurkel_mouse_stat(4), 3);
  EXPECT_EQ(zurkel_mouse_stat(5), 0);
  EXPECT_EQ(zurkel_mouse_stat(-1), 0);
}
