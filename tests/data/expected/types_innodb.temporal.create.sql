CREATE TABLE `temporal` (
  `id` int(11) NOT NULL,
  `y` year(4) DEFAULT NULL,
  `y_nn` year(4) NOT NULL,
  `d` date DEFAULT NULL,
  `d_nn` date NOT NULL,
  `t` time DEFAULT NULL,
  `t_nn` time NOT NULL,
  `t1` time(1) DEFAULT NULL,
  `t3` time(3) DEFAULT NULL,
  `t6` time(6) DEFAULT NULL,
  `dt` datetime DEFAULT NULL,
  `dt_nn` datetime NOT NULL,
  `dt2` datetime(2) DEFAULT NULL,
  `dt6` datetime(6) DEFAULT NULL,
  `ts` timestamp NULL DEFAULT NULL,
  `ts_nn` timestamp NOT NULL DEFAULT '2000-01-01 00:00:00',
  `ts3` timestamp(3) NULL DEFAULT NULL,
  `ts6` timestamp(6) NULL DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
