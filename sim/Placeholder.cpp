void mofeng_sim_placeholder() {}
