void mofeng_ui_placeholder() {}
