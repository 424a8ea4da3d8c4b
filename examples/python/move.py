import kelcmd

with kelcmd.Bus("Com5", device="sim:1-3", baudrate=19200) as bus:
    unit = bus.unit(1)
    unit.set_reg_mode(kelcmd.POSITION_MODE)
    unit.set_wait_mode(kelcmd.WAIT_FOR_BOTH)  # a move answers once the unit has arrived
    unit.move_absolute(2000, timeout=5000)
    print("position", unit.read_position(), unit.read_axis_status())
    try:
        bus.unit(9).read_position()  # no unit at address 9
    except kelcmd.KelCmdError as error:
        print("failed:", error.result_code, error.result_text)
