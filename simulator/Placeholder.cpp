// Simulated analyzer.
